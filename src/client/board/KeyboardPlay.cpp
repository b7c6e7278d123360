#include "client/board/KeyboardPlay.h"

#include "client/board/BoardGeometry.h"
#include "client/board/Composing.h"

#include <algorithm>

namespace wordmoot::keyboard {

namespace {
int onBoard(int index) {
    return std::clamp(index, 0, kBoardCells - 1);
}

QPoint step(const Cursor& cursor) {
    return cursor.down ? QPoint(0, 1) : QPoint(1, 0);
}

// The first slot whose tile is still in the rack and has this letter, in
// either case.
std::optional<int> slotInRack(const ClientState& state, const QString& tile) {
    for (int slot = 0; slot < kRackSlots; ++slot) {
        const RackSlot& rack = state.rack[slot];
        if (!rack.placed && !rack.tile.isEmpty() &&
            rack.tile.compare(tile, Qt::CaseInsensitive) == 0)
            return slot;
    }
    return std::nullopt;
}

} // namespace

void move(Cursor& cursor, int columns, int rows) {
    cursor.cell = {onBoard(cursor.cell.x() + columns), onBoard(cursor.cell.y() + rows)};
    if (columns != 0 || rows != 0)
        cursor.down = rows != 0;
}

std::optional<TypedTile> tileFor(const ClientState& state, QChar typed, bool shift) {
    const QString tile = typed == u' ' ? QStringLiteral("_") : QString(typed);
    if (!shift || tile == QLatin1String("_"))
        if (const auto slot = slotInRack(state, tile))
            return TypedTile{*slot, state.rack[*slot].tile};
    // Only a letter typed as A to Z names a blank, not one that merely
    // lower-cases to it.
    const QString name = tile.toLower();
    const auto blank = slotInRack(state, QStringLiteral("_"));
    if (typed.unicode() >= 128 || !board::namedBlank(name) || !blank)
        return std::nullopt;
    return TypedTile{*blank, name};
}

std::optional<QPoint> freeCellFrom(const Cursor& cursor, const ClientState& state) {
    for (QPoint cell = cursor.cell; cell.x() < kBoardCells && cell.y() < kBoardCells;
         cell += step(cursor)) {
        if (!composing::cellTaken(state, cell.x(), cell.y(), -1))
            return cell;
    }
    return std::nullopt;
}

void laid(Cursor& cursor, int slot, QPoint cell) {
    std::erase(cursor.laid, slot);
    cursor.laid.push_back(slot);
    cursor.cell = cell;
    move(cursor, step(cursor).x(), step(cursor).y()); // at the board's edge it stays
}

std::optional<int> takeBackLast(Cursor& cursor, const ClientState& state) {
    std::optional<int> slot;
    while (!slot && !cursor.laid.empty()) {
        if (state.placement[cursor.laid.back()].composed())
            slot = cursor.laid.back();
        cursor.laid.pop_back();
    }
    if (!slot)
        slot = slotOnCell(state, cursor.cell);
    if (slot)
        cursor.cell = {state.placement[*slot].column, state.placement[*slot].row};
    return slot;
}

std::optional<int> slotOnCell(const ClientState& state, QPoint cell) {
    for (int slot = 0; slot < kRackSlots; ++slot) {
        const Placement& laid = state.placement[slot];
        if (laid.composed() && QPoint(laid.column, laid.row) == cell)
            return slot;
    }
    return std::nullopt;
}

} // namespace wordmoot::keyboard
