#pragma once

#include "shared/rules/Tiles.h"

#include <string>
#include <string_view>
#include <vector>

// A finished game written down in the .gcg text format that crossword-game
// analysis programs read: the players, then one line per move with the
// mover's rack, the move, its score and the mover's total.
namespace wordmoot {

struct RecordedMove {
    int seat = 0;
    std::string rack;     // the mover's rack before the move, blanks as kUnnamedBlank; empty for
                          // the tiles taken from the others at the end
    std::string notation; // "8H CA.T", "-", "-QU", "--" or "(EX)"
    int score = 0;        // what the move changed the mover's score by
    int total = 0;        // the mover's score after it
    std::string note;     // written as a "#note" line after the move; empty for none
    std::string words;    // a play's words, as playWords names them; empty for other moves
};

// The note on a turn passed because its player challenged a valid play: a
// turn lost, not a pass the player chose.
inline constexpr std::string_view kLostTurnNote = "lost turn: challenged a valid play";

// "8H CA.T" for a play across row 8 from column H, "H8 ..." for one down:
// the main word with the tiles already on the board as "." and a blank as
// its letter in lower case ("?" for an unnamed one).
std::string playNotation(const Grid& before, const Play& play);
// The tiles of an exchange or a rack left at the end, a blank as "?".
std::string recordTiles(std::string tiles);

std::string gcgText(const std::vector<std::string>& names, const std::vector<RecordedMove>& moves);

} // namespace wordmoot
