#pragma once

#include "robot/Deadline.h"

#include "robot/MoveGenerator.h"

#include <optional>
#include <string_view>

// The end of a game of two: the bag is empty, so each side knows the other's
// rack, and the best move can be searched for exactly.
namespace wordmoot::robot {

// The value of a position is its final spread for the side to move: what it
// scores from now on less what the other side scores, with the tiles left
// counted as the game counts them. A side that plays out gains the other's
// rack and the other loses it; when both sides pass in turn the position can
// only repeat, and each loses its own rack.
struct EndgameAnswer {
    std::optional<ScoredPlay> play; // none: pass
    int spread = 0;                 // the answer's value, to the end or to `depth` plies
    bool exact = false;             // every line was searched to the end of the game
    int depth = 0;                  // plies of the deepest search that finished
};

// Alpha-beta over both sides' plays and passes, the plays ordered by score,
// with a transposition table, deepened one ply at a time until a search sees
// every line to the end or the deadline comes; then the best move of the
// deepest finished search. With no search finished, the highest-scoring play.
EndgameAnswer solveEndgame(const MoveGenerator& generator, const Grid& board, std::string_view mine,
                           std::string_view theirs, const Deadline& deadline);

} // namespace wordmoot::robot
