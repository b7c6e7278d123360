// Keyboard play on the board, the marks over it, what a screen reader is told
// about the tiles, and the call for attention when the turn comes.
#include "client/app/BoardOverlay.h"
#include "client/app/WordmootForm.h"
#include "client/board/CellNames.h"
#include "client/board/TurnActions.h"
#include "client/board/Twips.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>

namespace wordmoot {

namespace {
void setName(QWidget* widget, const QString& name, const QString& description) {
    if (widget->accessibleName() != name)
        widget->setAccessibleName(name);
    if (widget->accessibleDescription() != description)
        widget->setAccessibleDescription(description);
}
} // namespace

void WordmootForm::setUpKeyboardPlay() {
    boardOverlay_ = new BoardOverlay(state(), this);
    for (const QKeySequence& key : {QKeySequence(Qt::Key_F2), QKeySequence(Qt::CTRL | Qt::Key_B)})
        connect(new QShortcut(key, this), &QShortcut::activated, this,
                [this] { boardOverlay_->takeKeyboard(boardOverlay_->cursor().cell); });
    connect(boardOverlay_, &BoardOverlay::typed, this, &WordmootForm::typedOnBoard);
    connect(boardOverlay_, &BoardOverlay::takeBackLast, this, [this] {
        if (const auto slot = keyboard::takeBackLast(boardOverlay_->cursor(), state()))
            tileDroppedOnTile(*slot);
    });
    connect(boardOverlay_, &BoardOverlay::takeBackHere, this, [this] {
        if (const auto slot = keyboard::slotOnCell(state(), boardOverlay_->cursor().cell))
            tileDroppedOnTile(*slot);
    });
    connect(boardOverlay_, &BoardOverlay::takeBackAll, this, &WordmootForm::takeBackAll);
    connect(boardOverlay_, &BoardOverlay::submitRequested, this, [this] {
        if (cmdsubmitplay_->isEnabled())
            cmdsubmitplay_->click();
    });
    connect(boardOverlay_, &BoardOverlay::leaveRequested, this,
            [this] { ircinputbox_->setFocus(Qt::TabFocusReason); });
    wireInputHistory();
    boardShown();
}

// A click on the board gives it the keyboard, the cursor on the cell clicked.
void WordmootForm::mousePressEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    const auto cell = board::cellAt(twips::fromPixels(at.x()), twips::fromPixels(at.y()));
    if (boardOverlay_ && event->button() == Qt::LeftButton && cell &&
        boardOverlay_->geometry().contains(at.toPoint())) {
        boardOverlay_->takeKeyboard(*cell);
        return;
    }
    QWidget::mousePressEvent(event);
}

// A typed tile goes where a drop on the cursor's cell would put it, or on
// the next free cell after it.
void WordmootForm::typedOnBoard(QChar key, bool shift) {
    keyboard::Cursor& cursor = boardOverlay_->cursor();
    const auto tile = keyboard::tileFor(state(), key, shift);
    const auto cell = keyboard::freeCellFrom(cursor, state());
    if (!tile || !cell)
        return;
    keyboard::laid(cursor, tile->slot, *cell);
    // the overlay follows, the cursor already moved on
    layTileOnCell(tile->slot, *cell, tile->letter);
}

void WordmootForm::takeBackAll() {
    for (int slot = 0; slot < kRackSlots; ++slot)
        if (state().placement[slot].composed())
            tileDroppedOnTile(slot);
    boardOverlay_->cursor().laid.clear();
}

void WordmootForm::boardShown() {
    turn::previewPlay(client_, replies().table());
    if (!boardOverlay_)
        return;
    for (int column = 0; column < kBoardCells; ++column)
        for (int row = 0; row < kBoardCells; ++row) {
            const QString& letter = state().board[column][row];
            std::optional<QString>& named = namedFor_[column * kBoardCells + row];
            if (named == letter)
                continue;
            named = letter;
            setName(tiles_->tile(board::cellTileIndex(column, row)),
                    board::boardTileName(letter, {column, row}),
                    board::boardTileDescription(letter, {column, row}));
        }
    for (int slot = 0; slot < kRackSlots; ++slot) {
        const Placement& laid = state().placement[slot];
        const bool onBoard = laid.composed();
        const QString& tile = onBoard ? laid.letter : state().rack[slot].tile;
        const QPoint cell(laid.column, laid.row);
        setName(tiles_->tile(slot),
                onBoard ? board::laidTileName(tile, cell) : board::rackTileName(tile, slot),
                onBoard ? board::boardTileDescription(tile, cell)
                        : board::rackTileDescription(tile));
    }
    boardOverlay_->refresh();
}

void WordmootForm::yourTurnBegins() {
    if (isActiveWindow())
        return;
    QApplication::alert(this);
    emit attentionRequested();
}

} // namespace wordmoot
