#pragma once

#include "rules/MoveGenerator.h"

#include <cstdint>
#include <string>
#include <vector>

// Board positions met in games of two players who each lay a play the move
// generator finds, drawing from the standard bag: the board and the rack of
// the player to move. The same seed gives the same positions.
namespace wordmoot::testing {

struct Position {
    Grid grid;
    std::string rack;
};

enum class Pick {
    Best,     // the highest score, the first found among equals
    AtRandom, // any legal play, so that odd boards come up too
};

// `count` positions from turn `firstTurn` on while the bag holds tiles, game
// after game.
std::vector<Position> selfPlayPositions(const MoveGenerator& generator, std::uint64_t seed,
                                        Pick pick, int count, int firstTurn);

} // namespace wordmoot::testing
