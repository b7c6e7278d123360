#pragma once

#include "robot/LeaveTable.h"

#include "robot/MoveGenerator.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A move's static equity: what it scores now plus what the tiles it keeps are
// worth for the turns to come. Every strong robot ranks its plays by it, and
// the champion picks the candidates it simulates by it.
namespace wordmoot::robot {

// The leave values of one rack's subsets, each worked out the first time a
// play keeps it: a rack has at most 128 subsets and a board thousands of
// plays.
class RackLeaves {
public:
    RackLeaves(const LeaveTable& table, std::string_view rack);

    // What the tiles the play leaves on the rack are worth.
    double after(const Play& play);
    double ofKept(unsigned keptMask);
    // Which of the rack's tiles (a bit for each place) the play lays.
    unsigned usedBy(const Play& play) const;
    const std::string& rack() const { return rack_; }

private:
    const LeaveTable& table_;
    std::string rack_;
    std::array<double, 128> values_{};
    std::array<bool, 128> known_{};
};

struct RatedPlay {
    ScoredPlay play;
    double equity = 0;
};

// Of the plays that rate equally, the first by (column, row, letter).
bool tilesBefore(const Play& a, const Play& b);

// The play of the highest score plus leave value; with `withLeave` false, of
// the highest score. None when the rack has no play.
std::optional<RatedPlay> bestStaticPlay(const MoveGenerator& generator, const Grid& board,
                                        std::string_view rack, const LeaveTable& leaves,
                                        bool withLeave);

// The `count` plays of the highest static equity, best first.
std::vector<RatedPlay> bestStaticPlays(const MoveGenerator& generator, const Grid& board,
                                       std::string_view rack, const LeaveTable& leaves,
                                       std::size_t count);

// The tiles to give back in an exchange so that those kept are worth the
// most (at least one goes back), and what the kept ones are worth.
struct Exchange {
    std::string given;
    double keptValue = 0;
};
Exchange bestExchange(const LeaveTable& leaves, std::string_view rack);

} // namespace wordmoot::robot
