#include "Positions.h"

#include "rules/TileBag.h"

#include <algorithm>
#include <array>
#include <random>

namespace wordmoot::testing {

namespace {

// Turns in a row without a play after which a stuck game is given up.
constexpr int kStuckTurns = 4;

const ScoredPlay& chosen(const std::vector<ScoredPlay>& plays, Pick pick, std::mt19937_64& random) {
    if (pick == Pick::AtRandom)
        return plays[random() % plays.size()];
    return *std::max_element(
        plays.begin(), plays.end(),
        [](const ScoredPlay& a, const ScoredPlay& b) { return a.score < b.score; });
}

} // namespace

std::vector<Position> selfPlayPositions(const MoveGenerator& generator, std::uint64_t seed,
                                        Pick pick, int count, int firstTurn) {
    std::mt19937_64 random(seed);
    std::vector<Position> positions;
    while (static_cast<int>(positions.size()) < count) {
        TileBag bag(random());
        std::array<std::string, 2> racks;
        bag.refill(racks[0]);
        bag.refill(racks[1]);
        Grid grid;
        int stuck = 0;
        for (int turn = 0; stuck < kStuckTurns && !racks[0].empty() && !racks[1].empty(); ++turn) {
            std::string& rack = racks[turn % 2];
            if (turn >= firstTurn && !bag.isEmpty()) {
                positions.push_back({grid, rack});
                if (static_cast<int>(positions.size()) == count)
                    break;
            }
            const std::vector<ScoredPlay> plays = generator.allPlays(grid, rack);
            if (plays.empty()) {
                ++stuck;
                continue;
            }
            stuck = 0;
            for (const LaidTile& laid : chosen(plays, pick, random).play) {
                grid.at(laid.column, laid.row) = laid.tile;
                rack = rackWithout(
                    rack, std::string(1, laid.tile.blank ? kUnnamedBlank : laid.tile.letter));
            }
            bag.refill(rack);
        }
    }
    return positions;
}

} // namespace wordmoot::testing
