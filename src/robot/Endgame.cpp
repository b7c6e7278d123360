#include "robot/Endgame.h"

#include "shared/rules/Game.h"
#include "shared/rules/TileBag.h"

#include <algorithm>
#include <array>
#include <limits>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

namespace wordmoot::robot {

namespace {

constexpr int kInfinity = std::numeric_limits<int>::max() / 2;
constexpr int kMostPlies = 32; // more than two racks can take to empty, passes and all
// What a search keeps, so that it stays within tens of megabytes and ends
// soon after its deadline: this many plays (a rack with blanks has
// thousands on a full board), and the values of this many positions.
constexpr std::size_t kMostPlaysKept = 200'000;
constexpr std::size_t kMostPositionsKept = 1 << 19;

// Random keys for each tile on each cell, so that a board is hashed by
// adding and taking away the keys of the tiles laid.
struct Keys {
    std::array<std::uint64_t, kBoardCells * kBoardCells * 54> cell{};
    Keys() {
        std::mt19937_64 random(0xe7d9a3);
        for (std::uint64_t& key : cell)
            key = random();
    }
    std::uint64_t of(const LaidTile& t) const {
        const int letter = t.tile.letter == kUnnamedBlank ? 26 : t.tile.letter - 'A';
        return cell[(t.column * kBoardCells + t.row) * 54 + letter * 2 + (t.tile.blank ? 1 : 0)];
    }
};

// The same keys for every search, made once.
const Keys& tileKeys() {
    static const Keys keys;
    return keys;
}

std::uint64_t rackHash(std::string rack) {
    std::sort(rack.begin(), rack.end());
    return std::hash<std::string>()(rack);
}

std::uint64_t mixed(std::uint64_t a, std::uint64_t b) {
    return a ^ (b + 0x9e3779b97f4a7c15ULL + (a << 6) + (a >> 2));
}

enum class Bound { Exact, Lower, Upper };

struct Entry {
    int depth = 0;
    int value = 0;
    Bound bound = Bound::Exact;
    bool toTheEnd = false; // the value saw every line to the end
};

class Search {
public:
    Search(const MoveGenerator& generator, const Deadline& deadline)
        : generator_(generator)
        , deadline_(deadline) {}

    // The value of the position for the side to move, searched `depth` plies.
    int value(Grid& board, std::uint64_t boardKey, const std::string& mine,
              const std::string& theirs, bool otherPassed, int depth, int alpha, int beta);
    // The plays of a rack on a board, best score first, made once while
    // there is room to keep them, and made into `spare` after that.
    const std::vector<ScoredPlay>& plays(const Grid& board, std::uint64_t boardKey,
                                         const std::string& rack, std::vector<ScoredPlay>& spare);

    bool timeUp() const { return timeUp_; }
    bool cutByDepth() const { return cutByDepth_; }
    void resetCut() { cutByDepth_ = false; }
    // The value for the mover of making the play: its score less the value
    // of what follows for the other side. The board is put back as it was.
    int afterPlay(Grid& board, std::uint64_t boardKey, const ScoredPlay& play,
                  const std::string& mine, const std::string& theirs, int depth, int alpha,
                  int beta);

private:
    const MoveGenerator& generator_;
    const Deadline deadline_;
    std::unordered_map<std::uint64_t, Entry> table_;
    std::unordered_map<std::uint64_t, std::vector<ScoredPlay>> plays_;
    std::size_t playsKept_ = 0;
    bool timeUp_ = false;
    bool cutByDepth_ = false;
};

const std::vector<ScoredPlay>& Search::plays(const Grid& board, std::uint64_t boardKey,
                                             const std::string& rack,
                                             std::vector<ScoredPlay>& spare) {
    const std::uint64_t key = mixed(boardKey, rackHash(rack));
    if (const auto at = plays_.find(key); at != plays_.end())
        return at->second;
    spare = generator_.allPlays(board, rack);
    const bool keep = playsKept_ + spare.size() <= kMostPlaysKept;
    std::vector<ScoredPlay>& made = keep ? plays_[key] : spare;
    if (keep) {
        playsKept_ += spare.size();
        made = std::move(spare);
    }
    std::stable_sort(made.begin(), made.end(),
                     [](const ScoredPlay& a, const ScoredPlay& b) { return a.score > b.score; });
    return made;
}

int Search::afterPlay(Grid& board, std::uint64_t boardKey, const ScoredPlay& play,
                      const std::string& mine, const std::string& theirs, int depth, int alpha,
                      int beta) {
    const std::string left = rackWithout(mine, rackTiles(play.play));
    if (left.empty()) // out: the other's tiles count twice, for one and against the other
        return play.score + 2 * rackValue(theirs);
    for (const LaidTile& t : play.play) {
        board.at(t.column, t.row) = t.tile;
        boardKey ^= tileKeys().of(t);
    }
    const int v =
        play.score - value(board, boardKey, theirs, left, false, depth - 1, -beta, -alpha);
    for (const LaidTile& t : play.play)
        board.at(t.column, t.row) = Tile{};
    return v;
}

int Search::value(Grid& board, std::uint64_t boardKey, const std::string& mine,
                  const std::string& theirs, bool otherPassed, int depth, int alpha, int beta) {
    if (deadline_.passed()) // a node costs far more than reading the clock
        timeUp_ = true;
    if (timeUp_)
        return 0;
    if (depth == 0) {
        cutByDepth_ = true;
        return 0; // nothing known of what follows
    }
    const std::uint64_t key =
        mixed(mixed(boardKey, rackHash(mine)), rackHash(theirs) * 2 + (otherPassed ? 1 : 0));
    if (const auto at = table_.find(key);
        at != table_.end() && (at->second.toTheEnd || at->second.depth >= depth)) {
        const Entry& e = at->second;
        if (e.bound == Bound::Exact || (e.bound == Bound::Lower && e.value >= beta) ||
            (e.bound == Bound::Upper && e.value <= alpha)) {
            cutByDepth_ = cutByDepth_ || !e.toTheEnd;
            return e.value;
        }
    }
    const bool cutBefore = std::exchange(cutByDepth_, false);
    const int alphaBefore = alpha;
    int best = -kInfinity;
    std::vector<ScoredPlay> spare;
    for (const ScoredPlay& play : plays(board, boardKey, mine, spare)) {
        best = std::max(best, afterPlay(board, boardKey, play, mine, theirs, depth, alpha, beta));
        alpha = std::max(alpha, best);
        if (alpha >= beta || timeUp_)
            break;
    }
    if (alpha < beta && !timeUp_) {
        // Two passes in turn end the game as it stands.
        const int pass =
            otherPassed ? rackValue(theirs) - rackValue(mine)
                        : -value(board, boardKey, theirs, mine, true, depth - 1, -beta, -alpha);
        best = std::max(best, pass);
    }
    const bool toTheEnd = !cutByDepth_;
    cutByDepth_ = cutBefore || cutByDepth_;
    if (!timeUp_) {
        const Bound bound = best <= alphaBefore ? Bound::Upper
                            : best >= beta      ? Bound::Lower
                                                : Bound::Exact;
        if (table_.size() < kMostPositionsKept || table_.count(key))
            table_[key] = Entry{depth, best, bound, toTheEnd};
    }
    return best;
}

} // namespace

EndgameAnswer solveEndgame(const MoveGenerator& generator, const Grid& start,
                           std::string_view mineView, std::string_view theirsView,
                           const Deadline& deadline) {
    Search search(generator, deadline);
    Grid board = start;
    std::uint64_t boardKey = 0;
    for (int column = 0; column < kBoardCells; ++column)
        for (int row = 0; row < kBoardCells; ++row)
            if (!board.at(column, row).isEmpty())
                boardKey ^= tileKeys().of({column, row, board.at(column, row)});
    const std::string mine(mineView), theirs(theirsView);
    std::vector<ScoredPlay> spare;
    std::vector<ScoredPlay> order = search.plays(board, boardKey, mine, spare);

    EndgameAnswer answer;
    if (!order.empty()) {
        answer.play = order.front();
        answer.spread = order.front().score;
    }
    for (int depth = 1; depth <= kMostPlies; ++depth) {
        search.resetCut();
        std::optional<ScoredPlay> best;
        int bestValue = -kInfinity;
        int alpha = -kInfinity;
        for (const ScoredPlay& play : order) {
            const int v =
                search.afterPlay(board, boardKey, play, mine, theirs, depth, alpha, kInfinity);
            if (search.timeUp())
                break;
            if (v > bestValue) {
                bestValue = v;
                best = play;
                alpha = v;
            }
        }
        bool passBest = false;
        if (!search.timeUp()) {
            const int pass =
                -search.value(board, boardKey, theirs, mine, true, depth - 1, -kInfinity, -alpha);
            if (!search.timeUp() && pass > bestValue) {
                bestValue = pass;
                passBest = true;
            }
        }
        if (search.timeUp())
            break;
        answer.play = passBest ? std::nullopt : best;
        answer.spread = bestValue;
        answer.depth = depth;
        answer.exact = !search.cutByDepth();
        if (best) // the best play first next time: the search narrows soonest
            std::stable_partition(order.begin(), order.end(),
                                  [&](const ScoredPlay& p) { return p == *best; });
        if (answer.exact)
            break;
    }
    return answer;
}

} // namespace wordmoot::robot
