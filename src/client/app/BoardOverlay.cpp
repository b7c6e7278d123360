#include "client/app/BoardOverlay.h"

#include "client/board/BoardGeometry.h"
#include "client/board/CellNames.h"
#include "client/board/Twips.h"

#include <QKeyEvent>
#include <QPainter>

namespace wordmoot {

namespace {
const QColor kLastPlayColour(255, 140, 0);
const QColor kCursorOuter(Qt::black);
const QColor kCursorInner(255, 230, 0);

const QString kBoardHelp = QStringLiteral(
    "Arrow keys move the cursor, a letter lays that rack tile, or a blank named for it when "
    "the rack has none, Shift with a letter always a named blank, underscore or space a blank, "
    "Backspace takes the last tile back, Escape takes all back, Enter submits the play, "
    "Tab leaves the board");

bool anyComposed(const ClientState& state) {
    for (const Placement& laid : state.placement)
        if (laid.composed())
            return true;
    return false;
}
} // namespace

BoardOverlay::BoardOverlay(const ClientState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state) {
    using namespace board;
    setObjectName(QStringLiteral("boardcursor"));
    setGeometry(twips::toPixels(QRect(kBoardLeft, kBoardTop, kBoardCells * kCellSize + kInset,
                                      kBoardCells * kCellSize + kInset)));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::ClickFocus); // out of the Tab order: F2, Ctrl+B or a click
    setAccessibleName(QStringLiteral("Board"));
    raise();
    show();
    refresh();
}

void BoardOverlay::refresh() {
    setAccessibleDescription(board::cursorDescription(state_, cursor_.cell) + QStringLiteral(". ") +
                             kBoardHelp);
    update();
}

void BoardOverlay::takeKeyboard(QPoint cell) {
    cursor_.cell = cell;
    setFocus(Qt::OtherFocusReason);
    refresh();
}

QRect BoardOverlay::cellPixels(QPoint cell, int inset) const {
    const QRect twipsRect =
        board::cellRect(cell.x(), cell.y()).adjusted(inset, inset, -inset, -inset);
    return twips::toPixels(twipsRect).translated(-pos());
}

void BoardOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kLastPlayColour, 2));
    for (QPoint cell : state_.lastPlay.cells())
        painter.drawRect(cellPixels(cell, board::kInset).adjusted(1, 1, -1, -1));
    if (!hasFocus())
        return;
    const QRect cursor = cellPixels(cursor_.cell, 0);
    painter.setPen(QPen(kCursorOuter, 2));
    painter.drawRect(cursor.adjusted(1, 1, -1, -1));
    painter.setPen(QPen(kCursorInner, 2));
    painter.drawRect(cursor.adjusted(3, 3, -3, -3));
}

bool BoardOverlay::arrowMoved(int key) {
    switch (key) {
    case Qt::Key_Left:
        keyboard::move(cursor_, -1, 0);
        return true;
    case Qt::Key_Right:
        keyboard::move(cursor_, 1, 0);
        return true;
    case Qt::Key_Up:
        keyboard::move(cursor_, 0, -1);
        return true;
    case Qt::Key_Down:
        keyboard::move(cursor_, 0, 1);
        return true;
    default:
        return false;
    }
}

void BoardOverlay::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const QString text = event->text();
    if (arrowMoved(key))
        refresh();
    else if (key == Qt::Key_Backspace)
        emit takeBackLast();
    else if (key == Qt::Key_Delete)
        emit takeBackHere();
    else if (key == Qt::Key_Escape && anyComposed(state_))
        emit takeBackAll();
    else if (key == Qt::Key_Escape)
        emit leaveRequested();
    else if (key == Qt::Key_Return || key == Qt::Key_Enter)
        emit submitRequested();
    else if (text.size() == 1 && (text[0].isLetter() || text[0] == u'_' || text[0] == u' '))
        emit typed(text[0], event->modifiers().testFlag(Qt::ShiftModifier));
    else
        QWidget::keyPressEvent(event);
}

void BoardOverlay::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    refresh();
}

void BoardOverlay::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

bool BoardOverlay::focusNextPrevChild(bool) {
    emit leaveRequested();
    return true;
}

} // namespace wordmoot
