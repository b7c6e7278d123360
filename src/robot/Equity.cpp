#include "robot/Equity.h"

#include <algorithm>
#include <tuple>

namespace wordmoot::robot {

RackLeaves::RackLeaves(const LeaveTable& table, std::string_view rack)
    : table_(table)
    , rack_(rack.substr(0, kRackSlots)) {} // a subset's bits fit values_

unsigned RackLeaves::usedBy(const Play& play) const {
    unsigned used = 0;
    for (const LaidTile& t : play) {
        const char tile = t.tile.blank ? '_' : t.tile.letter;
        for (std::size_t i = 0; i < rack_.size(); ++i)
            if (rack_[i] == tile && !(used & (1u << i))) {
                used |= 1u << i;
                break;
            }
    }
    return used;
}

double RackLeaves::ofKept(unsigned kept) {
    if (!known_[kept]) {
        std::string leave;
        for (std::size_t i = 0; i < rack_.size(); ++i)
            if (kept & (1u << i))
                leave += rack_[i];
        values_[kept] = table_.value(leave);
        known_[kept] = true;
    }
    return values_[kept];
}

double RackLeaves::after(const Play& play) {
    const unsigned all = (1u << rack_.size()) - 1;
    return ofKept(all & ~usedBy(play));
}

bool tilesBefore(const Play& a, const Play& b) {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(), [](const LaidTile& x, const LaidTile& y) {
            return std::tuple(x.column, x.row, x.tile.letter, x.tile.blank) <
                   std::tuple(y.column, y.row, y.tile.letter, y.tile.blank);
        });
}

namespace {

bool ratedBefore(const RatedPlay& a, const RatedPlay& b) {
    return a.equity != b.equity ? a.equity > b.equity : tilesBefore(a.play.play, b.play.play);
}

} // namespace

std::optional<RatedPlay> bestStaticPlay(const MoveGenerator& generator, const Grid& board,
                                        std::string_view rack, const LeaveTable& leaves,
                                        bool withLeave) {
    RackLeaves leave(leaves, rack);
    std::optional<RatedPlay> best;
    generator.forEachPlay(board, rack, [&](const Play& play, int score) {
        const double equity = withLeave ? score + leave.after(play) : double(score);
        if (!best || equity > best->equity ||
            (equity == best->equity && tilesBefore(play, best->play.play)))
            best = RatedPlay{{play, score}, equity};
    });
    return best;
}

std::vector<RatedPlay> bestStaticPlays(const MoveGenerator& generator, const Grid& board,
                                       std::string_view rack, const LeaveTable& leaves,
                                       std::size_t count) {
    RackLeaves leave(leaves, rack);
    std::vector<RatedPlay> kept; // a heap whose top is the worst kept
    generator.forEachPlay(board, rack, [&](const Play& play, int score) {
        const double equity = score + leave.after(play);
        if (kept.size() == count && equity < kept.front().equity)
            return;
        kept.push_back({{play, score}, equity});
        std::push_heap(kept.begin(), kept.end(), ratedBefore);
        if (kept.size() > count) {
            std::pop_heap(kept.begin(), kept.end(), ratedBefore);
            kept.pop_back();
        }
    });
    std::sort_heap(kept.begin(), kept.end(), ratedBefore);
    return kept;
}

Exchange bestExchange(const LeaveTable& leaves, std::string_view rack) {
    RackLeaves leave(leaves, rack);
    Exchange best{leave.rack(), leave.ofKept(0)};
    const unsigned subsets = 1u << leave.rack().size();
    for (unsigned kept = 1; kept + 1 < subsets; ++kept) {
        if (const double v = leave.ofKept(kept); v > best.keptValue) {
            best.given.clear();
            for (std::size_t i = 0; i < leave.rack().size(); ++i)
                if (!(kept & (1u << i)))
                    best.given += leave.rack()[i];
            best.keptValue = v;
        }
    }
    return best;
}

} // namespace wordmoot::robot
