#pragma once

#include "client/session/ClientState.h"

#include <QString>

// The play the user composes on the board, and the rack actions that need
// no server: where each rack tile lies, the play line, the sort.
namespace wordmoot::composing {

// Lays a rack slot's tile on a cell: it becomes part of the play. It shows
// the letter given (a blank named from the keyboard: that letter in lower
// case); without one, its own, or the one it showed on the cell of the play
// it is moved from.
void layTile(ClientState& state, int slot, int column, int row, const QString& letter = {});
// Takes a rack slot's tile back: it is no longer part of the play.
void returnTile(ClientState& state, int slot);
// Whether a cell already holds a tile: one from the server, or another rack
// tile of the play.
bool cellTaken(const ClientState& state, int column, int row, int slot);

// "PLAY 8,7,A 7,7,C 9,7,T " for the tiles laid, in slot order, each
// followed by a blank; empty when no tile is laid. Letters go in upper case,
// a blank as "_" or, named, as its letter in lower case. The laid tiles are
// flagged as submitted until the server answers, and sent again if the user
// submits again meanwhile.
QString takePlay(ClientState& state);
// "PREVIEW ..." for the tiles a Submit would send now; empty for none.
QString previewLine(const ClientState& state);

// The exchange command for the box's text, or empty when the box is empty.
QString exchangeLine(const QString& boxText);

// Sorts the letters of the slots whose tiles are in the rack by character
// code: empty slots first, then A to Z, blanks, lower case. Laid slots keep
// their letters and places.
void sortRack(ClientState& state);

} // namespace wordmoot::composing
