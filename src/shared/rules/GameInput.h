#pragma once

#include "shared/rules/Game.h"

#include <optional>
#include <string>
#include <string_view>

namespace wordmoot {

// One thing done to a game from outside it: a move, a vote, a seat changing
// hands, a clock's penalty. Whoever runs a game keeps each that the game
// took as a line of text, and brings the game back by doing them again, in
// order, to a game made with the same seed: the bag then gives the same
// tiles in the same order.
struct GameInput {
    enum class Kind {
        Play,        // "play 0 7,7,Q 8,7,i": column, row, letter; a blank lower case, _ unnamed
        Exchange,    // "exchange 1 AE_"
        Pass,        // "pass 0"
        Withdraw,    // "withdraw 0"
        Approve,     // "approve 1"
        Challenge,   // "challenge 1"
        VoteExpired, // "expire"
        Leave,       // "leave 2"
        TakeSeat,    // "take 2 NAME"
        Rename,      // "rename 2 NAME"
        EndForLack,  // "end"
        TimePenalty, // "penalty 0 20"
    };
    GameInput() = default;
    GameInput(Kind kind_, int seat_ = -1, Play play_ = {}, std::string text_ = {}, int points_ = 0)
        : kind(kind_)
        , seat(seat_)
        , play(std::move(play_))
        , text(std::move(text_))
        , points(points_) {}

    Kind kind = Kind::Pass;
    int seat = -1;
    Play play;
    std::string text; // the tiles exchanged, or the name
    int points = 0;
};

std::string inputText(const GameInput& input);
// Nullopt for a line that is no input, or one that names a seat off the game.
std::optional<GameInput> parseInput(std::string_view line, int seats);
// Does it to the game: nullopt when the game took it, else why not.
std::optional<Refused> apply(Game& game, const GameInput& input);

} // namespace wordmoot
