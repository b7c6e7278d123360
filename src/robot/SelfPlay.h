#pragma once

#include "robot/Choice.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Whole games of two robots played through the rules library's Game with the
// word list as judge, with no server and no clock: for the tests, the leave
// table's training and the strength figures.
namespace wordmoot::robot {

struct Contender {
    Level level = Level::Greedy;
    const Brain* brain = nullptr;
    int thinkMs = 0; // the most a champion thinks over a move
};

// One move as it was made, for whoever learns from the games.
struct MoveMade {
    int seat = 0;
    Move::Kind kind = Move::Kind::Pass;
    int score = 0;
    std::string leave; // the tiles kept before the draw
    int bagBefore = 0; // tiles in the bag when the move was chosen
};

struct GameResult {
    std::array<int, 2> scores{};
    int moves = 0;
    bool over = false;
    // Moves the game refused or scored otherwise than the robot expected.
    std::vector<std::string> faults;
};

using MoveWatcher = std::function<void(const MoveMade&)>;

// Seat 0 is the first contender; the game's draw decides who begins. The
// same seed gives the same game.
GameResult playGame(const std::array<Contender, 2>& contenders, std::uint64_t seed,
                    const MoveWatcher& watch = {});

} // namespace wordmoot::robot
