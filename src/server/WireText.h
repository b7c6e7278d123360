#pragma once

#include "rules/Tiles.h"

#include <QByteArray>

#include <optional>
#include <string>

// The game's values as they stand in a line and back.
namespace wordmoot::server {

// A cell as the client shows it: "." for no tile, the letter, a blank in
// lower case when its letter is named and "_" when not. A blank keeps its
// letter visible because the words on the board must read; its value is
// shown wrong (the letter's face value) only in the tile's corner, while
// every score comes from the server.
char cellText(const Tile& tile);
// "7 ...CAT........": the row number, a blank, the fifteen cells.
QByteArray rowText(const Grid& board, int row);
// "7,7,C 8,7,A 9,7,T ": column, row and cell of each tile, a blank after each.
QByteArray tilesText(const Play& play);
// The tiles of a PLAY line, "column,row,LETTER " each: a lower-case letter
// for a blank the player names, "_" for one the server is to name; nullopt
// when an entry is not of that form (more than seven entries too).
std::optional<Play> parsePlay(const QByteArray& text);
// The tiles of an EXCHANGE line: letters and "_", blanks between ignored;
// nullopt for anything else.
std::optional<std::string> parseExchange(const QByteArray& text);
// The number at the start of the text, leading blanks skipped ("  3").
std::optional<int> leadingInt(const QByteArray& text);

} // namespace wordmoot::server
