#include "tools/analysis/Report.h"

#include "shared/rules/Game.h"
#include "shared/rules/GameRecord.h"

#include <algorithm>
#include <cstdio>

namespace wordmoot::analysis {

namespace {

std::string formatted(const char* format, auto... values) {
    char line[512];
    std::snprintf(line, sizeof line, format, values...);
    return line;
}

// One line of the table, in its columns, with no blanks at its end.
std::string row(const std::string& move, const std::string& player, const std::string& rack,
                const std::string& played, const std::string& value = {},
                const std::string& best = {}, const std::string& bestValue = {},
                const std::string& lost = {}) {
    std::string line = formatted("%4s  %-12s %-7s  %-24s %7s   %-24s %7s %7s", move.c_str(),
                                 player.c_str(), rack.c_str(), played.c_str(), value.c_str(),
                                 best.c_str(), bestValue.c_str(), lost.c_str());
    line.erase(line.find_last_not_of(' ') + 1);
    return line + '\n';
}

std::string number(double value) {
    return formatted("%.1f", value);
}

std::string played(const ReadMove& m) {
    switch (m.kind) {
    case ReadMove::Kind::Play:
        return m.notation + " +" + std::to_string(m.score);
    case ReadMove::Kind::TakenBack:
        return m.notation + " taken back";
    case ReadMove::Kind::Exchange:
        return m.notation;
    case ReadMove::Kind::LostTurn:
        return "(turn lost: challenged a valid play)";
    default:
        return "- (pass)";
    }
}

// "Final score: Ann 5, Bob 17; Bob won by 12": each player's last total.
std::string finalScore(const ReadRecord& record) {
    std::vector<int> totals(record.names.size(), 0);
    for (const ReadMove& m : record.moves)
        totals[m.seat] = m.total;
    std::vector<std::string> scores;
    for (std::size_t seat = 0; seat < totals.size(); ++seat)
        scores.push_back(record.names[seat] + ' ' + std::to_string(totals[seat]));
    std::string text = "Final score: ";
    for (std::size_t i = 0; i < scores.size(); ++i)
        text += (i ? ", " : "") + scores[i];
    const auto best = std::max_element(totals.begin(), totals.end());
    if (best == totals.end())
        return text + '\n';
    std::vector<std::string> leaders;
    int second = 0;
    bool hasSecond = false;
    for (std::size_t seat = 0; seat < totals.size(); ++seat) {
        if (totals[seat] == *best) {
            leaders.push_back(record.names[seat]);
        } else if (!hasSecond || totals[seat] > second) {
            second = totals[seat];
            hasSecond = true;
        }
    }
    if (leaders.size() > 1)
        return text + "; a draw between " + spokenList(leaders) + '\n';
    if (!hasSecond)
        return text + '\n';
    return text + "; " + leaders.front() + " won by " + std::to_string(*best - second) + '\n';
}

} // namespace

std::string report(const ReadRecord& record, const Analysis& analysis) {
    std::string out = finalScore(record);
    out += "Each move is weighed by the champion's engine. A value is in points of spread: the\n"
           "move's score and what its tiles kept and the turns after it are likely worth (with\n"
           "the bag empty, the spread at the end, played out). \"lost\" is how much less than\n"
           "the engine's best move the move made was worth. Turns lost to a challenge and the\n"
           "tiles left at the end were nobody's choice and are not weighed.\n\n";
    out += row("move", "player", "rack", "played", "value", "best", "value", "lost");
    std::vector<const MoveValue*> byIndex(record.moves.size(), nullptr);
    for (const MoveValue& v : analysis.moves)
        byIndex[v.index] = &v;
    std::vector<std::vector<const MoveValue*>> bySeat(record.names.size());
    for (std::size_t i = 0; i < record.moves.size(); ++i) {
        const ReadMove& m = record.moves[i];
        const MoveValue* v = byIndex[i];
        if (m.kind == ReadMove::Kind::End)
            continue;
        const std::string move = std::to_string(i + 1);
        const std::string rack = recordTiles(m.rack);
        if (!v) {
            out += row(move, record.names[m.seat], rack, played(m));
            continue;
        }
        bySeat[m.seat].push_back(v);
        out += row(move, record.names[m.seat], rack, played(m), number(v->playedValue),
                   v->bestNotation, number(v->bestValue), number(v->lost()));
    }
    out += '\n';
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
