#include "robot/Simulation.h"

#include "robot/Equity.h"

#include "shared/rules/Game.h"
#include "shared/rules/TileBag.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace wordmoot::robot {

namespace {

// Deals of every way the bag can be filled are made when there are at most
// this many; a sample of them otherwise.
constexpr std::size_t kMostExactDeals = 400;

// What the opponent may hold and the bag's order, for one iteration.
struct Deal {
    std::string theirs;
    std::string bag; // in the order it is drawn
};

// Of the unseen tiles, the opponent's rack and the bag.
class Dealer {
public:
    Dealer(std::string_view unseen, int bagSize, std::size_t mostIterations)
        : unseen_(unseen)
        , bagSize_(std::clamp<int>(bagSize, 0, int(unseen.size())))
        , rackSize_(std::min<std::size_t>(unseen_.size() - bagSize_, kRackSlots)) {
        // Where the bag is small and the opponent's rack is the rest, every
        // choice of the bag's tiles is one deal.
        if (bagSize_ > 0 && bagSize_ <= kRackSlots && unseen_.size() - bagSize_ == rackSize_ &&
            choices(unseen_.size(), bagSize_) <= std::min(kMostExactDeals, mostIterations)) {
            std::vector<int> pick(bagSize_);
            std::iota(pick.begin(), pick.end(), 0);
            do
                bagPicks_.push_back(pick);
            while (nextPick(pick, int(unseen_.size())));
        }
    }

    bool exact() const { return !bagPicks_.empty(); }
    std::size_t deals() const { return exact() ? bagPicks_.size() : std::size_t(-1); }

    Deal deal(std::size_t i, std::mt19937_64& random) const {
        std::string tiles = unseen_;
        Deal d;
        if (exact()) {
            std::vector<bool> inBag(tiles.size());
            for (int at : bagPicks_[i])
                inBag[at] = true;
            for (std::size_t t = 0; t < tiles.size(); ++t)
                (inBag[t] ? d.bag : d.theirs) += tiles[t];
            std::shuffle(d.bag.begin(), d.bag.end(), random);
            return d;
        }
        std::shuffle(tiles.begin(), tiles.end(), random);
        d.theirs = tiles.substr(0, rackSize_);
        d.bag = tiles.substr(rackSize_, bagSize_);
        return d;
    }

private:
    static std::size_t choices(std::size_t n, std::size_t k) {
        std::size_t c = 1;
        for (std::size_t i = 1; i <= k; ++i)
            c = c * (n - k + i) / i;
        return c;
    }
    static bool nextPick(std::vector<int>& pick, int n) {
        const int k = int(pick.size());
        int i = k - 1;
        while (i >= 0 && pick[i] == n - k + i)
            --i;
        if (i < 0)
            return false;
        ++pick[i];
        for (int j = i + 1; j < k; ++j)
            pick[j] = pick[j - 1] + 1;
        return true;
    }

    std::string unseen_;
    int bagSize_ = 0;
    std::size_t rackSize_ = 0;
    std::vector<std::vector<int>> bagPicks_;
};

// A candidate's value in one deal: the spread of the candidate, the
// opponent's best static reply and the mover's best static answer, plus the
// leave then; when a side plays out with the bag empty the game ends there.
class Continuation {
public:
    Continuation(const Brain& brain, const Situation& s)
        : brain_(brain)
        , s_(s) {}

    double value(const Move& candidate, const Deal& deal) const {
        Grid board = s_.board;
        std::string mine(s_.rack);
        std::string bag = deal.bag;
        int spread = 0;
        if (candidate.kind == Move::Kind::Play) {
            lay(board, candidate.play);
            mine = rackWithout(mine, rackTiles(candidate.play));
            spread += candidate.score;
            draw(mine, bag, kRackSlots - int(mine.size()));
        } else if (candidate.kind == Move::Kind::Exchange) {
            mine = rackWithout(mine, candidate.tiles);
            draw(mine, bag, int(candidate.tiles.size()));
            bag += candidate.tiles;
        }
        std::string theirs = deal.theirs;
        if (mine.empty())
            return spread + 2 * rackValue(theirs);
        spread -= reply(board, theirs, bag);
        if (theirs.empty())
            return spread - 2 * rackValue(mine);
        spread += reply(board, mine, bag);
        if (mine.empty())
            return spread + 2 * rackValue(theirs);
        if (bag.empty()) // what the racks will count for at the end
            return spread + rackValue(theirs) - rackValue(mine);
        return spread + brain_.leaves().value(mine);
    }

private:
    static void draw(std::string& rack, std::string& bag, int count) {
        const std::size_t n = std::min<std::size_t>(std::max(count, 0), bag.size());
        rack += bag.substr(0, n);
        bag.erase(0, n);
    }

    // The best static play for the rack, made on the board; its score.
    int reply(Grid& board, std::string& rack, std::string& bag) const {
        const std::optional<RatedPlay> best = bestStaticPlay(
            brain_.generator(), board, rack, brain_.leaves(), !bag.empty());
        if (!best)
            return 0; // a pass
        lay(board, best->play.play);
        rack = rackWithout(rack, rackTiles(best->play.play));
        draw(rack, bag, kRackSlots - int(rack.size()));
        return best->play.score;
    }

    const Brain& brain_;
    const Situation& s_;
};

struct Candidate {
    SimulatedMove rated;
    std::vector<double> values;
};

std::vector<Candidate> candidatesOf(const Brain& brain, const Situation& s, int count) {
    std::vector<Candidate> out;
    for (RatedPlay& p : bestStaticPlays(brain.generator(), s.board, s.rack, brain.leaves(),
                                        std::size_t(count)))
        out.push_back({{{Move::Kind::Play, std::move(p.play.play), p.play.score, {}}, p.equity}, {}});
    if (s.bagSize >= kRackSlots && !s.rack.empty()) {
        Exchange e = bestExchange(brain.leaves(), s.rack);
        out.push_back({{{Move::Kind::Exchange, {}, 0, std::move(e.given)}, e.keptValue}, {}});
    }
    out.push_back({{{}, brain.leaves().value(s.rack)}, {}}); // a pass
    std::stable_sort(out.begin(), out.end(), [](const Candidate& a, const Candidate& b) {
        return a.rated.equity > b.rated.equity;
    });
    if (out.size() > std::size_t(count))
        out.resize(count);
    return out;
}

double staticEquity(const Brain& brain, const Situation& s, const Move& move) {
    RackLeaves leaves(brain.leaves(), s.rack);
    switch (move.kind) {
    case Move::Kind::Play:
        return move.score + leaves.after(move.play);
    case Move::Kind::Exchange:
        return brain.leaves().value(rackWithout(s.rack, move.tiles));
    case Move::Kind::Pass:
        break;
    }
    return brain.leaves().value(s.rack);
}

double mean(const std::vector<double>& v, std::size_t n) {
    return n == 0 ? 0 : std::accumulate(v.begin(), v.begin() + n, 0.0) / double(n);
}

// Whether the candidate is clearly worse than the leader over the first n
// deals: the mean of their differences, deal by deal, is more than `sigmas`
// standard errors.
bool clearlyWorse(const Candidate& c, const Candidate& leader, std::size_t n, double sigmas) {
    if (n < 2)
        return false;
    double sum = 0, squares = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double d = leader.values[i] - c.values[i];
        sum += d;
        squares += d * d;
    }
    const double m = sum / double(n);
    const double variance = std::max(0.0, squares / double(n) - m * m) / double(n - 1);
    return m > sigmas * std::sqrt(variance) && m > 0;
}

} // namespace

bool sameMove(const Move& a, const Move& b) {
    if (a.kind != b.kind)
        return false;
    if (a.kind == Move::Kind::Play) {
        const auto order = [](Play p) {
            std::sort(p.begin(), p.end(), [](const LaidTile& x, const LaidTile& y) {
                return std::pair(x.column, x.row) < std::pair(y.column, y.row);
            });
            return p;
        };
        return order(a.play) == order(b.play);
    }
    std::string x = a.tiles, y = b.tiles;
    std::sort(x.begin(), x.end());
    std::sort(y.begin(), y.end());
    return x == y;
}

SimulationAnswer simulate(const Brain& brain, const Situation& s, std::mt19937_64& random,
                          const Deadline& deadline, const SimulationLimits& limits,
                          const std::optional<Move>& weighToo) {
    std::vector<Candidate> candidates = candidatesOf(brain, s, limits.candidates);
    std::optional<std::size_t> kept; // the candidate never let go
    if (weighToo) {
        const auto at = std::find_if(candidates.begin(), candidates.end(), [&](const Candidate& c) {
            return sameMove(c.rated.move, *weighToo);
        });
        kept = std::size_t(at - candidates.begin());
        if (at == candidates.end())
            candidates.push_back({{*weighToo, staticEquity(brain, s, *weighToo)}, {}});
    }
    const Dealer dealer(s.unseen, s.bagSize, std::size_t(limits.mostIterations));
    const Continuation continuation(brain, s);
    const std::size_t most = std::min<std::size_t>(limits.mostIterations, dealer.deals());
    std::size_t done = 0; // deals every candidate still in has been valued on
    int iterations = 0;
    std::vector<std::size_t> live(candidates.size());
    std::iota(live.begin(), live.end(), 0);
    bool timeUp = false;
    while (live.size() > 1 && done < most && !timeUp) {
        const Deal deal = dealer.deal(done, random);
        for (std::size_t c : live) {
            if (deadline.passed()) {
                timeUp = true;
                break;
            }
            candidates[c].values.push_back(continuation.value(candidates[c].rated.move, deal));
            ++iterations;
        }
        if (timeUp)
            break;
        ++done;
        if (done < std::size_t(limits.leastBeforeCut))
            continue;
        const std::size_t leader = *std::max_element(live.begin(), live.end(), [&](auto a, auto b) {
            return mean(candidates[a].values, done) < mean(candidates[b].values, done);
        });
        std::erase_if(live, [&](std::size_t c) {
            const bool cut = c != leader && c != kept && clearlyWorse(candidates[c], candidates[leader], done,
                                                          limits.cutSigmas);
            candidates[c].rated.cut = cut;
            return cut;
        });
    }
    SimulationAnswer answer;
    answer.iterations = iterations;
    answer.exact = dealer.exact() && done == dealer.deals();
    std::size_t chosen = live.empty() ? 0 : live.front();
    for (std::size_t c : live)
        if (done > 0 && mean(candidates[c].values, done) > mean(candidates[chosen].values, done))
            chosen = c;
    for (Candidate& c : candidates) {
        const std::size_t n = c.rated.cut ? c.values.size() : std::min(done, c.values.size());
        c.rated.iterations = int(n);
        c.rated.mean = mean(c.values, n);
        answer.candidates.push_back(c.rated);
    }
    if (!candidates.empty())
        answer.move = candidates[chosen].rated.move;
    return answer;
}

} // namespace wordmoot::robot
