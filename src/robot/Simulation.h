#pragma once

#include "robot/Brain.h"
#include "robot/Choice.h"

#include "robot/Deadline.h"

#include <random>
#include <string_view>

// The champion's move while the bag holds tiles: the best candidates by static
// equity, each played out against many racks the opponent may hold (Monte
// Carlo simulation two plies deep), the one of the best mean taken.
namespace wordmoot::robot {

struct SimulationLimits {
    int candidates = 12;      // how many moves, by static equity, are simulated
    int mostIterations = 150; // continuations played out for each at the most
    int leastBeforeCut = 8;   // a candidate is let go only once this many are in
    double cutSigmas = 2.0;  // ... and when it is this many standard errors behind
};

struct SimulatedMove {
    Move move;
    double equity = 0;     // score plus leave value
    double mean = 0;       // the mean value of its continuations
    int iterations = 0;    // continuations played out
    bool cut = false;      // let go as clearly worse than the leader
};

struct SimulationAnswer {
    Move move;
    std::vector<SimulatedMove> candidates; // by static equity, best first
    int iterations = 0;                    // continuations played out, all candidates
    bool exact = false; // every possible draw was weighed, not a sample of them
};

// Each iteration deals the opponent a rack and the bag's order from the
// tiles the mover has not seen (the same deal for every candidate, so that
// they are compared on equal terms), makes the candidate, the opponent's best
// static reply, and the mover's best static answer to that; a candidate's
// value is the spread of those three moves plus the leave left at the end.
// With 1 to 7 tiles in the bag every way the bag can be filled from the unseen
// tiles is dealt once where there are few enough, a sample of them otherwise.
// Stops when one candidate is left, at the iteration limit or at the deadline;
// with no iteration done, the best by static equity. `weighToo`, a move
// someone made, is weighed on every deal beside the candidates and never let
// go, so that it is valued on the same terms (it comes last in `candidates`
// unless it is one of them).
SimulationAnswer simulate(const Brain& brain, const Situation& situation,
                          std::mt19937_64& random, const Deadline& deadline,
                          const SimulationLimits& limits = {},
                          const std::optional<Move>& weighToo = std::nullopt);

// Whether two moves are the same: the same tiles laid, or the same tiles given back.
bool sameMove(const Move& a, const Move& b);

} // namespace wordmoot::robot
