#include "Positions.h"

#include "BruteForce.h"

#include "shared/rules/Game.h"
#include "shared/rules/StoodScore.h"

#include <algorithm>
#include <optional>
#include <random>
#include <utility>

namespace wordmoot::testing {

namespace {

const ScoredPlay& chosen(const std::vector<ScoredPlay>& plays, Pick pick, std::mt19937_64& random) {
    if (pick == Pick::AtRandom)
        return plays[random() % plays.size()];
    return *std::max_element(
        plays.begin(), plays.end(),
        [](const ScoredPlay& a, const ScoredPlay& b) { return a.score < b.score; });
}

} // namespace

SelfPlay selfPlay(const MoveGenerator& generator, const WordList& words, std::uint64_t seed,
                  Pick pick, int count, int firstTurn) {
    std::mt19937_64 random(seed);
    SelfPlay result;
    while (static_cast<int>(result.positions.size()) < count) {
        StoodScore stood;
        Game game({"ROBOT", "ROBOTTWO"}, Judging::List, &words, random(), &stood);
        game.start();
        for (int turn = 0; !game.isOver(); ++turn) {
            const int seat = game.turn();
            const std::string rack = game.seats()[seat].rack;
            const Grid grid = game.shownBoard();
            if (turn >= firstTurn && game.bagSize() > 0) {
                result.positions.push_back({grid, rack});
                if (static_cast<int>(result.positions.size()) == count)
                    break;
            }
            const std::vector<ScoredPlay> plays = generator.allPlays(grid, rack);
            if (plays.empty()) {
                if (game.bagSize() >= kRackSlots)
                    game.exchange(seat, rack);
                else
                    game.pass(seat);
                continue;
            }
            const ScoredPlay& move = chosen(plays, pick, random);
            const std::optional<Refused> refused = game.play(seat, move.play);
            const std::optional<int> score = stood.take();
            if (refused || score != move.score) {
                result.disagreements.push_back(
                    described({move}).front() + ": " +
                    (refused ? refused->reason : "scored " + std::to_string(score.value_or(-1))));
                if (refused)
                    game.pass(seat);
            }
        }
    }
    return result;
}

} // namespace wordmoot::testing
