// Rack tiles dropped on the main window. Only the window itself takes drops;
// it looks at what lies under the pointer to decide what the drop means.
#include "app/LogoLabel.h"
#include "board/Twips.h"
#include "app/WordmootForm.h"
#include "board/Composing.h"

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
        Form_DragDrop(*slot, position);
    else if (qobject_cast<TileLabel*>(target))
        lettertile_DragDrop(*slot);
    else if (target == txtexchange_ && txtexchange_->isEnabled())
        txtexchange_DragDrop(*slot);
    else if (target == imgwordmoot_)
        imgwordmoot_DragDrop();
    // Anything else (buttons, value labels, the chat) leaves the tile be.
}

// On the board the tile lies on the cell under the pointer; anywhere else
// on the window it goes back to its own rack slot. A tile covers its cell but
// for the grid line and a pixel of green, and a drop there must not lay a
// second tile on the cell: it counts as a drop on the tile.
void WordmootForm::Form_DragDrop(int slot, QPointF position) {
    const auto cell =
        board::cellAt(twips::fromPixels(position.x()), twips::fromPixels(position.y()));
    if (!cell || composing::cellTaken(state_, cell->x(), cell->y(), slot)) {
        lettertile_DragDrop(slot);
        return;
    }
    composing::layTile(state_, slot, cell->x(), cell->y(), tiles_->tile(slot)->text());
    tiles_->moveRackTile(slot, board::cellTileOrigin(cell->x(), cell->y()));
}

// A drop on any visible tile, the dragged one included, takes the tile back.
void WordmootForm::lettertile_DragDrop(int slot) {
    composing::returnTile(state_, slot);
    tiles_->moveRackTile(slot, board::slotTileOrigin(slot));
}

void WordmootForm::txtexchange_DragDrop(int slot) {
    txtexchange_->setText(txtexchange_->text() + tiles_->tile(slot)->text().toUpper());
}

} // namespace wordmoot
