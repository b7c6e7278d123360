#include "tools/analysis/Analysis.h"

#include "robot/Endgame.h"
#include "robot/Simulation.h"
#include "shared/rules/Game.h"
#include "shared/rules/GameRecord.h"
#include "shared/rules/TileBag.h"

#include <algorithm>

namespace wordmoot::analysis {

namespace {

robot::Move moveMade(const ReadMove& m) {
    switch (m.kind) {
    case ReadMove::Kind::Play:
        return {robot::Move::Kind::Play, m.play, m.score, {}};
    case ReadMove::Kind::Exchange:
        return {robot::Move::Kind::Exchange, {}, 0, m.tiles};
    default: // a pass, a turn lost, or a play taken back: nothing laid
        return {};
    }
}

std::string notationOf(const Grid& board, const robot::Move& move) {
    switch (move.kind) {
    case robot::Move::Kind::Play:
        return playNotation(board, move.play) + " +" + std::to_string(move.score);
    case robot::Move::Kind::Exchange:
        return "-" + recordTiles(move.tiles);
    case robot::Move::Kind::Pass:
        break;
    }
    return "-";
}

// With the bag empty in a game of two: both racks are known, and each move
// is valued by the search to the end of the game.
MoveValue endgameValue(const robot::Brain& brain, const ReadMove& m, const std::string& theirs,
                       int thinkMs) {
    const robot::EndgameAnswer answer = robot::solveEndgame(
        brain.generator(), m.before, m.rack, theirs, robot::Deadline::in(thinkMs / 2));
    MoveValue v;
    if (answer.play)
        v.best = {robot::Move::Kind::Play, answer.play->play, answer.play->score, {}};
    v.bestValue = answer.spread;
    const robot::Move made = moveMade(m);
    const robot::Deadline rest = robot::Deadline::in(thinkMs / 2);
    if (robot::sameMove(made, v.best)) {
        v.playedValue = v.bestValue;
    } else if (made.kind == robot::Move::Kind::Play) {
        const std::string left = rackWithout(m.rack, rackTiles(made.play));
        Grid after = m.before;
        lay(after, made.play);
        v.playedValue =
            left.empty()
                ? made.score + 2 * rackValue(theirs)
                : made.score - robot::solveEndgame(brain.generator(), after, theirs, left, rest).spread;
    } else {
        v.playedValue = -robot::solveEndgame(brain.generator(), m.before, theirs, m.rack, rest).spread;
    }
    return v;
}

MoveValue simulatedValue(const robot::Brain& brain, const ReadMove& m, const std::string& unseen,
                         int bagSize, int thinkMs) {
    std::mt19937_64 random(std::uint64_t(m.line));
    const robot::Situation s{m.before, m.rack, bagSize, unseen, thinkMs};
    const robot::Move made = moveMade(m);
    const robot::SimulationAnswer answer =
        robot::simulate(brain, s, random, robot::Deadline::in(thinkMs), {}, made);
    MoveValue v;
    v.best = answer.move;
    for (const robot::SimulatedMove& c : answer.candidates) {
        if (robot::sameMove(c.move, answer.move))
            v.bestValue = c.mean;
        if (robot::sameMove(c.move, made))
            v.playedValue = c.mean;
    }
    return v;
}

} // namespace

std::optional<std::string> unseenTiles(const Grid& board, std::string_view rack) {
    std::string left = TileBag(0).tiles();
    const auto take = [&left](char tile) {
        const std::size_t at = left.find(tile);
        if (at == std::string::npos)
            return false;
        left.erase(at, 1);
        return true;
    };
    for (int column = 0; column < kBoardCells; ++column)
        for (int row = 0; row < kBoardCells; ++row)
            if (const Tile& t = board.at(column, row); !t.isEmpty())
                if (!take(t.blank ? kUnnamedBlank : t.letter))
                    return std::nullopt;
    for (const char tile : rack)
        if (!take(tile))
            return std::nullopt;
    std::sort(left.begin(), left.end());
    return left;
}

std::optional<Analysis> analyse(const robot::Brain& brain, const ReadRecord& record, int thinkMs,
                                AnalysisFault& fault) {
    Analysis analysis;
    const int others = std::max<int>(1, int(record.names.size()) - 1);
    for (std::size_t i = 0; i < record.moves.size(); ++i) {
        const ReadMove& m = record.moves[i];
        if (m.kind == ReadMove::Kind::End || m.kind == ReadMove::Kind::LostTurn)
            continue; // no choice of the player's to weigh
        const std::optional<std::string> unseen = unseenTiles(m.before, m.rack);
        if (!unseen) {
            fault = {m.line, "the board and the rack hold tiles the game does not have"};
            return std::nullopt;
        }
        const int bagSize = std::max(0, int(unseen->size()) - kRackSlots * others);
        MoveValue v = bagSize == 0 && record.names.size() == 2
                          ? endgameValue(brain, m, *unseen, thinkMs)
                          : simulatedValue(brain, m, *unseen, bagSize, thinkMs);
        v.index = int(i);
        v.bestNotation = notationOf(m.before, v.best);
        analysis.moves.push_back(std::move(v));
    }
    return analysis;
}

} // namespace wordmoot::analysis
