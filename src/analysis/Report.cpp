#include "analysis/Report.h"

#include "rules/GameRecord.h"

#include <algorithm>
#include <cstdio>

namespace wordmoot::analysis {

namespace {

std::string formatted(const char* format, auto... values) {
    char line[512];
    std::snprintf(line, sizeof line, format, values...);
    return line;
}

std::string played(const ReadMove& m) {
    switch (m.kind) {
    case ReadMove::Kind::Play:
        return m.notation + " +" + std::to_string(m.score);
    case ReadMove::Kind::TakenBack:
        return m.notation + " taken back";
    case ReadMove::Kind::Exchange:
        return m.notation;
    default:
        return "- (pass)";
    }
}

} // namespace

std::string report(const ReadRecord& record, const Analysis& analysis) {
    std::string out;
    std::vector<std::vector<const MoveValue*>> bySeat(record.names.size());
    for (const MoveValue& v : analysis.moves) {
        const ReadMove& m = record.moves[v.index];
        bySeat[m.seat].push_back(&v);
        out += formatted("%3d %-12s %-7s %-22s value %7.1f   best %-22s value %7.1f   lost %5.1f\n",
                         v.index + 1, record.names[m.seat].c_str(), recordTiles(m.rack).c_str(),
                         played(m).c_str(), v.playedValue, v.bestNotation.c_str(), v.bestValue,
                         v.lost());
    }
    for (std::size_t seat = 0; seat < record.names.size(); ++seat) {
        std::vector<const MoveValue*> moves = bySeat[seat];
        double lost = 0;
        for (const MoveValue* v : moves)
            lost += v->lost();
        out += formatted("%s: %.1f points of value lost over %zu moves", record.names[seat].c_str(),
                         lost, moves.size());
        std::stable_sort(moves.begin(), moves.end(),
                         [](const MoveValue* a, const MoveValue* b) { return a->lost() > b->lost(); });
        std::string misses;
        for (std::size_t i = 0; i < std::min<std::size_t>(3, moves.size()); ++i) {
            if (moves[i]->lost() <= 0)
                break;
            const ReadMove& m = record.moves[moves[i]->index];
            misses += formatted("%smove %d, %s for %s (%.1f)", misses.empty() ? "" : "; ",
                                moves[i]->index + 1, played(m).c_str(),
                                moves[i]->bestNotation.c_str(), moves[i]->lost());
        }
        out += misses.empty() ? "\n" : "; biggest misses: " + misses + "\n";
    }
    return out;
}

} // namespace wordmoot::analysis
