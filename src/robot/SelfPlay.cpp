#include "robot/SelfPlay.h"

#include "shared/rules/Game.h"
#include "shared/rules/StoodScore.h"

#include <optional>
#include <utility>

namespace wordmoot::robot {

namespace {

constexpr int kMostMoves = 500; // far more than any game takes

std::string described(const Move& move) {
    std::string text;
    for (const LaidTile& t : move.play)
        text += std::to_string(t.column) + ',' + std::to_string(t.row) + ',' +
                (t.tile.blank ? '_' : t.tile.letter) + ' ';
    return text + "for " + std::to_string(move.score);
}

// The move made in the game; a fault when the game refused it or scored it
// otherwise, and then a pass.
std::optional<std::string> make(Game& game, StoodScore& stood, int seat, const Move& move) {
    const std::optional<Refused> refused = makeMove(game, seat, move);
    const std::optional<int> score = stood.take();
    if (refused)
        return (move.kind == Move::Kind::Play ? described(move) : move.tiles) + ": " +
               refused->reason;
    if (move.kind == Move::Kind::Play && score != move.score)
        return described(move) + ": the game scored " + std::to_string(score.value_or(-1));
    return std::nullopt;
}

} // namespace

GameResult playGame(const std::array<Contender, 2>& contenders, std::uint64_t seed,
                    const MoveWatcher& watch) {
    StoodScore stood;
    const WordList& words = contenders[0].brain->words();
    Game game({"Robot", "Robot2"}, Judging::List, &words, seed, &stood);
    std::array<std::mt19937_64, 2> random{std::mt19937_64(seed ^ 0x5eed), std::mt19937_64(~seed)};
    game.start();
    GameResult result;
    for (; !game.isOver() && result.moves < kMostMoves; ++result.moves) {
        const int seat = game.turn();
        const std::string rack = game.seats()[seat].rack;
        const Grid board = game.shownBoard();
        const Contender& c = contenders[seat];
        const std::string unseen = game.unseenBy(seat);
        const Move move = chooseMove(*c.brain, {board, rack, game.bagSize(), unseen, c.thinkMs},
                                     c.level, random[seat]);
        if (watch) {
            const std::string given = move.kind == Move::Kind::Play       ? rackTiles(move.play)
                                      : move.kind == Move::Kind::Exchange ? move.tiles
                                                                          : std::string();
            watch({seat, move.kind, move.score, rackWithout(rack, given), game.bagSize()});
        }
        if (auto fault = make(game, stood, seat, move))
            result.faults.push_back(std::move(*fault));
    }
    result.over = game.isOver();
    for (int seat = 0; seat < 2; ++seat)
        result.scores[seat] = game.seats()[seat].score;
    return result;
}

} // namespace wordmoot::robot
