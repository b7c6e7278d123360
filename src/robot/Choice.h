#pragma once

#include "robot/Brain.h"
#include "robot/Deadline.h"
#include "shared/rules/Game.h"
#include "shared/rules/GameInput.h"

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

// How a robot chooses its move: a plain function of the board, the rack, the
// tiles left in the bag, the level and a random source, so that the server,
// self-play and tests all use the same one.
namespace wordmoot::robot {

enum class Level {
    Casual,   // one of the better plays at random, so a beginner can win
    Greedy,   // the highest score
    Strong,   // the highest score plus the value of the tiles kept
    Champion, // simulates its best candidates; at the end of a game of two, searches to the end
};

std::optional<Level> parseLevel(std::string_view name);
const char* levelName(Level level);

struct Move {
    enum class Kind { Play, Exchange, Pass };
    Kind kind = Kind::Pass;
    Play play;         // for a play: its tiles
    int score = 0;     // for a play: what the generator scores it
    std::string tiles; // for an exchange: the tiles given back
};

struct Situation {
    const Grid& board;
    std::string_view rack;
    int bagSize = 0;
    // The tiles the mover has not seen, in a game of two: with the bag
    // empty, the other side's rack. Empty when not known.
    std::string_view unseen = {};
    int thinkMs = 0; // the most a champion thinks
    const std::atomic<bool>* stop = nullptr; // set: answer at once
};

// A play when there is one; an exchange when there is none and the bag holds
// a rack's worth of tiles; a pass otherwise. Among plays of equal worth the
// first in the order of their tiles (column, row, letter) is taken.
Move chooseMove(const Brain& brain, const Situation& situation, Level level,
                std::mt19937_64& random);

// A think that owns what it reads, so that it runs on any thread while the
// game goes on: the position as it was when it was asked for, the level, and
// the seed of its own random source.
struct ThinkRequest {
    Grid board;
    std::string rack;
    int bagSize = 0;
    std::string unseen;
    int thinkMs = 0;
    Level level = Level::Casual;
    std::uint64_t seed = 0;
    const std::atomic<bool>* stop = nullptr; // must outlive the think
};
Move think(const Brain& brain, const ThinkRequest& request);

// Makes the move in the game for the seat. When the game refuses it, the
// seat passes instead while it is still on turn, and the refusal is returned.
std::optional<Refused> makeMove(Game& game, int seat, const Move& move);

// The move as the seat's input to the game, as the server journals it.
GameInput inputOf(const Move& move, int seat);

// How many of the best plays a casual robot picks among.
inline constexpr int kCasualChoices = 8;

} // namespace wordmoot::robot
