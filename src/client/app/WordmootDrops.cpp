// Rack tiles dropped on the main window. Only the window itself takes drops;
// it looks at what lies under the pointer to decide what the drop means.
#include "client/app/LogoLabel.h"
#include "client/board/Twips.h"
#include "client/app/WordmootForm.h"
#include "client/board/Composing.h"
#include "shared/protocol/Commands.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>

namespace wordmoot {

void WordmootForm::dragEnterEvent(QDragEnterEvent* event) {
    if (TileLabel::draggedSlot(event->mimeData(), this))
        event->acceptProposedAction();
}

void WordmootForm::dragMoveEvent(QDragMoveEvent* event) {
    if (TileLabel::draggedSlot(event->mimeData(), this))
        event->acceptProposedAction();
}

void WordmootForm::dropEvent(QDropEvent* event) {
    const auto slot = TileLabel::draggedSlot(event->mimeData(), this);
    if (!slot)
        return;
    event->acceptProposedAction();
    const QPointF position = event->position();
    QWidget* target = childAt(position.toPoint());
    while (target && target->parentWidget() != this)
        target = target->parentWidget();

    if (!target)
        tileDroppedOnBoard(*slot, position);
    else if (qobject_cast<TileLabel*>(target))
        tileDroppedOnTile(*slot);
    else if (target == txtexchange_ && txtexchange_->isEnabled())
        tileDroppedOnExchangeBox(*slot);
    else if (target == imgwordmoot_)
        tileDroppedOnLogo();
    // Anything else (buttons, value labels, the chat) leaves the tile be.
}

// On the board the tile lies on the cell under the pointer; anywhere else
// on the window it goes back to its own rack slot. A tile covers its cell but
// for the grid line and a pixel of green, and a drop there must not lay a
// second tile on the cell: it counts as a drop on the tile.
void WordmootForm::tileDroppedOnBoard(int slot, QPointF position) {
    const auto cell =
        board::cellAt(twips::fromPixels(position.x()), twips::fromPixels(position.y()));
    if (!cell) {
        tileDroppedOnTile(slot);
        return;
    }
    layTileOnCell(slot, *cell);
}

// Laying a tile on a cell, by a drop or from the keyboard.
void WordmootForm::layTileOnCell(int slot, QPoint cell, const QString& letter) {
    if (composing::cellTaken(state(), cell.x(), cell.y(), slot)) {
        tileDroppedOnTile(slot);
        return;
    }
    composing::layTile(state(), slot, cell.x(), cell.y(), letter);
    tiles_->showSlotLetter(state(), slot);
    tiles_->moveRackTile(slot, board::cellTileOrigin(cell.x(), cell.y()));
    boardShown();
}

// A drop on any visible tile, the dragged one included, takes the tile back;
// so do Backspace, Delete and Escape on the board.
void WordmootForm::tileDroppedOnTile(int slot) {
    composing::returnTile(state(), slot);
    tiles_->showSlotLetter(state(), slot);
    tiles_->moveRackTile(slot, board::slotTileOrigin(slot));
    boardShown();
}

void WordmootForm::tileDroppedOnExchangeBox(int slot) {
    txtexchange_->setText(txtexchange_->text() + tileLetters(state().rack[slot].tile));
}

} // namespace wordmoot
