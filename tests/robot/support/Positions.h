#pragma once

#include "robot/MoveGenerator.h"
#include "shared/rules/WordList.h"

#include <cstdint>
#include <string>
#include <vector>

// Board positions met in games of two robots that each lay a play the move
// generator finds, played through the rules library's own game with the word
// list as judge: the board and the rack of the player to move. The same seed
// gives the same positions.
namespace wordmoot::testing {

struct Position {
    Grid grid;
    std::string rack;
};

enum class Pick {
    Best,     // the highest score, the first found among equals
    AtRandom, // any legal play, so that odd boards come up too
};

struct SelfPlay {
    std::vector<Position> positions;
    // Plays the game refused or scored otherwise than the generator, each
    // with the game's reason; the game goes on with a pass.
    std::vector<std::string> disagreements;
};

// `count` positions from turn `firstTurn` on while the bag holds tiles, game
// after game. The list must be the one the generator's graph was built from.
SelfPlay selfPlay(const MoveGenerator& generator, const WordList& words, std::uint64_t seed,
                  Pick pick, int count, int firstTurn);

} // namespace wordmoot::testing
