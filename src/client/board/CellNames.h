#pragma once

#include "client/session/ClientState.h"

#include <QPoint>
#include <QString>

// What a screen reader says about the board: cells are named by column and
// row counted from 1, left to right and top to bottom, with their premium
// square; a tile by its letter and where it lies.
namespace wordmoot::board {

// "column 8, row 8"
QString cellName(QPoint cell);
// "double word square", ... "plain square"
QString squareName(QPoint cell);
// "A", "blank" for "_", "blank E" for a blank named E ("e")
QString letterName(const QString& tile);

// A board tile: "A on column 8, row 8" and "worth 1, double word square".
QString boardTileName(const QString& tile, QPoint cell);
QString boardTileDescription(const QString& tile, QPoint cell);
// A rack tile's worth: "worth 1", "worth 0" for a blank.
QString rackTileDescription(const QString& tile);
// A rack tile in its slot ("A in rack slot 1") or laid in the play being
// composed ("A laid on column 8, row 8").
QString rackTileName(const QString& tile, int slot);
QString laidTileName(const QString& tile, QPoint cell);

// The cell under the keyboard cursor and what lies on it:
// "column 8, row 8, double word square, holds A, last play".
QString cursorDescription(const ClientState& state, QPoint cell);

} // namespace wordmoot::board
