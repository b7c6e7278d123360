#pragma once

#include "client/board/Twips.h"

#include <QPoint>

namespace wordmoot::test {

// Where the window puts the board and the rack: the grid starts 120 twips in,
// its cells are 360 twips wide, a tile sits 15 twips inside its cell, and the
// rack's tiles stand at 5655 twips down.

// The middle of a board cell, in twips of the window: a pointer position on it.
inline QPoint cellCentre(int column, int row) {
    return {120 + 360 * column + 180, 120 + 360 * row + 180};
}
// The top left corner of the tile on a board cell, in pixels.
inline QPoint cellTile(int column, int row) {
    return twips::toPixels(QPoint(135 + 360 * column, 135 + 360 * row));
}
// The top left corner of the tile in a rack slot, in pixels.
inline QPoint slotTile(int slot) {
    return twips::toPixels(QPoint(135 + 360 * slot, 5655));
}

} // namespace wordmoot::test
