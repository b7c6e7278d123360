#pragma once

#include "client/session/ClientState.h"

#include <QChar>
#include <QPoint>

#include <optional>
#include <vector>

// Laying rack tiles from the keyboard: a cell cursor on the board, the rack
// tile a typed key stands for and the tiles laid from the keyboard, so that
// Backspace can take them back in turn. The tiles are laid and taken back as
// a drop lays and takes them back; this only decides which tile and where.
namespace wordmoot::keyboard {

struct Cursor {
    QPoint cell{kCentre, kCentre};
    bool down = false;     // typed tiles go down the board rather than across
    std::vector<int> laid; // rack slots laid from the keyboard, oldest first
};

// Moves the cursor by whole cells, staying on the board. A move across sets
// typing across, a move up or down sets typing down.
void move(Cursor& cursor, int columns, int rows);

// What a typed key lays: a rack slot, and the letter its tile shows on the
// board.
struct TypedTile {
    int slot = 0;
    QString letter;
};

// The tile a typed key lays: the first tile in the rack with that letter, in
// either case; failing one, or with Shift, a blank named for the letter (A to
// Z), shown in lower case. "_" and the space bar stand for an unnamed blank.
std::optional<TypedTile> tileFor(const ClientState& state, QChar typed, bool shift);

// The first free cell from the cursor on in its typing direction, the
// cursor's own cell when it is free; nullopt when the line is full up to the
// board's edge.
std::optional<QPoint> freeCellFrom(const Cursor& cursor, const ClientState& state);

// A slot's tile was laid on a cell from the keyboard: the cursor goes on to
// the next cell in its typing direction.
void laid(Cursor& cursor, int slot, QPoint cell);

// The tile Backspace takes back: the last one laid from the keyboard that is
// still part of the play being composed, else the composed tile under the
// cursor. The cursor goes to its cell.
std::optional<int> takeBackLast(Cursor& cursor, const ClientState& state);

// The rack slot whose tile lies on a cell in the play being composed.
std::optional<int> slotOnCell(const ClientState& state, QPoint cell);

} // namespace wordmoot::keyboard
