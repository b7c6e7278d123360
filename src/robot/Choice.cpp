#include "robot/Choice.h"

#include "robot/Endgame.h"
#include "robot/Equity.h"
#include "robot/Simulation.h"

#include <algorithm>

namespace wordmoot::robot {

namespace {

constexpr const char* kLevelNames[] = {"casual", "greedy", "strong", "champion"};

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
    if (level == Level::Champion && !s.unseen.empty()) {
        // A search stops at its first step past the deadline, and one step
        // (finding a rack's plays) can take a tenth of a second with blanks:
        // it aims at nine tenths of the think time.
        const Deadline deadline = Deadline::in(s.thinkMs * 9 / 10, s.stop);
        if (s.bagSize > 0)
            return simulate(brain, s, random, deadline).move;
        if (s.unseen.size() <= std::size_t(kRackSlots)) { // the other's rack, in a game of two
            const EndgameAnswer answer =
                solveEndgame(brain.generator(), s.board, s.rack, s.unseen, deadline);
            if (!answer.play)
                return {};
            return {Move::Kind::Play, answer.play->play, answer.play->score, {}};
        }
    }
    std::optional<ScoredPlay> chosen;
    if (level == Level::Casual) {
        chosen = casualPlay(brain, s, random);
    } else {
        const bool withLeave = level != Level::Greedy && s.bagSize > 0;
        if (auto best = bestStaticPlay(brain.generator(), s.board, s.rack, brain.leaves(),
                                       withLeave))
            chosen = std::move(best->play);
    }
    if (chosen)
        return {Move::Kind::Play, std::move(chosen->play), chosen->score, {}};
    if (s.bagSize >= kRackSlots && !s.rack.empty())
        return {Move::Kind::Exchange, {}, 0,
                level == Level::Strong || level == Level::Champion
                    ? bestExchange(brain.leaves(), s.rack).given
                    : std::string(s.rack)};
    return {};
}

Move think(const Brain& brain, const ThinkRequest& request) {
    std::mt19937_64 random(request.seed);
    return chooseMove(
        brain,
        {request.board, request.rack, request.bagSize, request.unseen, request.thinkMs, request.stop},
        request.level, random);
}

GameInput inputOf(const Move& move, int seat) {
    switch (move.kind) {
    case Move::Kind::Play:
        return {GameInput::Kind::Play, seat, move.play};
    case Move::Kind::Exchange:
        return {GameInput::Kind::Exchange, seat, {}, move.tiles};
    case Move::Kind::Pass:
        break;
    }
    return {GameInput::Kind::Pass, seat};
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
