#pragma once

#include "shared/rules/Board.h"

#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

// Where everything on the board and the rack lies, in twips of the main
// window (15 to a pixel), and what the squares and letters are worth.
namespace wordmoot::board {

inline constexpr int kBoardLeft = 120; // left edge of the grid
inline constexpr int kBoardTop = 120;  // top edge, and the gap above the rack
inline constexpr int kCellSize = 360;  // one cell, one rack slot
inline constexpr int kInset = 15;      // premium squares and tiles sit inside the grid lines
inline constexpr int kTileSize = kCellSize - 2 * kInset;
inline constexpr int kRackTop = kBoardCells * kCellSize + 2 * kBoardTop;
inline constexpr int kBoardRight = kBoardLeft + kBoardCells * kCellSize;
inline constexpr int kBoardBottom = kBoardTop + kBoardCells * kCellSize;

// Where a tile's small value label sits relative to the tile: as the board
// and rack are shown, and after the user has dropped the tile.
inline constexpr QPoint kValueOffsetShown{175, 205};
inline constexpr QPoint kValueOffsetDropped{190, 210};

// Whether a tile is a blank named for a letter: the server shows one on the
// board as its letter in lower case, and a blank named from the keyboard lies
// in the play being composed the same way.
bool namedBlank(QStringView tile);

// The small caption of a tile: " 3" for a letter worth 3, none for a named
// blank, "0" for an unnamed blank, an empty slot or any character that is
// not a letter.
QString valueText(const QString& tile);

QRect cellRect(int column, int row);
QRect slotRect(int slot);
// The tile label that shows a cell or slot: the inset area.
QPoint cellTileOrigin(int column, int row);
QPoint slotTileOrigin(int slot);

// The cell under a drop point. The margins left of and above the grid count
// as column 0 and row 0; anywhere else off the grid gives nullopt.
std::optional<QPoint> cellAt(double x, double y);

// Tile label numbers: 0..6 the rack slots, then one per cell.
inline constexpr int kTileCount = kRackSlots + kBoardCells * kBoardCells;
constexpr int cellTileIndex(int column, int row) {
    return kRackSlots + kBoardCells * column + row;
}

} // namespace wordmoot::board
