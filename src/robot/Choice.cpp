#include "robot/Choice.h"

#include "robot/Endgame.h"

#include <algorithm>
#include <tuple>

namespace wordmoot::robot {

namespace {

constexpr const char* kLevelNames[] = {"casual", "greedy", "strong", "champion"};

bool tilesBefore(const Play& a, const Play& b) {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(), [](const LaidTile& x, const LaidTile& y) {
            return std::tuple(x.column, x.row, x.tile.letter, x.tile.blank) <
                   std::tuple(y.column, y.row, y.tile.letter, y.tile.blank);
        });
}

// The play of the highest worth, the first in the tiles' order among equals.
template <typename Worth>
std::optional<ScoredPlay> bestPlay(const Brain& brain, const Situation& s, Worth worth) {
    std::optional<ScoredPlay> best;
    double bestWorth = 0;
    brain.generator().forEachPlay(s.board, s.rack, [&](const Play& play, int score) {
        const double w = worth(play, score);
        if (!best || w > bestWorth || (w == bestWorth && tilesBefore(play, best->play))) {
            best = ScoredPlay{play, score};
            bestWorth = w;
        }
    });
    return best;
}

std::optional<ScoredPlay> casualPlay(const Brain& brain, const Situation& s,
                                     std::mt19937_64& random) {
    std::vector<ScoredPlay> plays = brain.generator().allPlays(s.board, s.rack);
    if (plays.empty())
        return std::nullopt;
    const auto better = [](const ScoredPlay& a, const ScoredPlay& b) {
        return a.score != b.score ? a.score > b.score : tilesBefore(a.play, b.play);
    };
    const auto choices = std::min<std::size_t>(plays.size(), kCasualChoices);
    std::partial_sort(plays.begin(), plays.begin() + choices, plays.end(), better);
    return plays[std::uniform_int_distribution<std::size_t>(0, choices - 1)(random)];
}

// The tiles to give back: all of them, or for a strong robot all but the
// kept ones worth the most (at least one tile goes back).
std::string exchanged(const Brain& brain, std::string_view rack, Level level) {
    if (level != Level::Strong && level != Level::Champion)
        return std::string(rack);
    std::string best(rack);
    double bestValue = brain.leaves().value("");
    const unsigned subsets = 1u << rack.size();
    for (unsigned kept = 1; kept + 1 < subsets; ++kept) {
        std::string keep, give;
        for (std::size_t i = 0; i < rack.size(); ++i)
            (kept & (1u << i) ? keep : give) += rack[i];
        if (const double v = brain.leaves().value(keep); v > bestValue) {
            bestValue = v;
            best = give;
        }
    }
    return best;
}

} // namespace

std::optional<Level> parseLevel(std::string_view name) {
    for (int i = 0; i < int(std::size(kLevelNames)); ++i)
        if (name == kLevelNames[i])
            return Level(i);
    return std::nullopt;
}

const char* levelName(Level level) {
    return kLevelNames[int(level)];
}

Move chooseMove(const Brain& brain, const Situation& s, Level level, std::mt19937_64& random) {
    const bool otherRackKnown =
        s.bagSize == 0 && !s.unseen.empty() && s.unseen.size() <= std::size_t(kRackSlots);
    if (level == Level::Champion && otherRackKnown) {
        // The search stops at its first step past the deadline, and one step
        // (finding a rack's plays) can take a tenth of a second with blanks:
        // it aims at nine tenths of the think time.
        const EndgameAnswer answer =
            solveEndgame(brain.generator(), s.board, s.rack, s.unseen,
                         Clock::now() + std::chrono::milliseconds(s.thinkMs * 9 / 10));
        if (!answer.play)
            return {};
        return {Move::Kind::Play, answer.play->play, answer.play->score, {}};
    }
    std::optional<ScoredPlay> chosen;
    if (level == Level::Casual) {
        chosen = casualPlay(brain, s, random);
    } else if (level == Level::Greedy || s.bagSize == 0) {
        chosen = bestPlay(brain, s, [](const Play&, int score) { return double(score); });
    } else {
        chosen = bestPlay(brain, s, [&](const Play& play, int score) {
            return score + brain.leaves().value(rackWithout(s.rack, rackTiles(play)));
        });
    }
    if (chosen)
        return {Move::Kind::Play, std::move(chosen->play), chosen->score, {}};
    if (s.bagSize >= kRackSlots && !s.rack.empty())
        return {Move::Kind::Exchange, {}, 0, exchanged(brain, s.rack, level)};
    return {};
}

Move think(const Brain& brain, const ThinkRequest& request) {
    std::mt19937_64 random(request.seed);
    return chooseMove(
        brain, {request.board, request.rack, request.bagSize, request.unseen, request.thinkMs},
        request.level, random);
}

std::optional<Refused> makeMove(Game& game, int seat, const Move& move) {
    std::optional<Refused> refused;
    switch (move.kind) {
    case Move::Kind::Play:
        refused = game.play(seat, move.play);
        break;
    case Move::Kind::Exchange:
        refused = game.exchange(seat, move.tiles);
        break;
    case Move::Kind::Pass:
        return game.pass(seat);
    }
    if (refused && game.turn() == seat && !game.isOver())
        game.pass(seat);
    return refused;
}

} // namespace wordmoot::robot
