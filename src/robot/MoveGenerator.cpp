#include "robot/MoveGenerator.h"

#include "robot/BoardLine.h"
#include "shared/rules/Scoring.h"

#include <bit>

namespace wordmoot {

namespace {

inline constexpr int kBlankSlot = 26; // where a rack's blanks are counted

using RackCount = std::array<int, 27>;

// The score of a play so far, kept as the play grows.
struct Tally {
    int word = 0;       // the main word's letters, letter premiums counted
    int multiplier = 1; // the main word's word premiums
    int cross = 0;      // the cross words, each complete
    int laid = 0;
};

// The plays of one line: for each anchor, every left part the rack and the
// graph allow on the free squares before it, each extended to the right over
// the anchor through free and occupied squares (Appel and Jacobson's
// LeftPart and ExtendRight).
class LineSearch {
public:
    LineSearch(const WordGraph& graph, const BoardLine& line, bool emptyBoard, RackCount& rack,
               int rackSize, const MoveGenerator::Visitor& visit)
        : graph_(graph)
        , line_(line)
        , squares_(lineSquares(graph, line, emptyBoard))
        , rack_(rack)
        , rackSize_(rackSize)
        , visit_(visit) {}

    void run() {
        for (anchor_ = 0; anchor_ < kBoardCells; ++anchor_)
            if (!line_.occupied(anchor_) && squares_[anchor_].anchor)
                fromAnchor();
    }

private:
    void fromAnchor() {
        start_ = anchor_;
        if (line_.occupied(anchor_ - 1)) {
            // The tiles before the anchor are the left part.
            Tally tally;
            while (line_.occupied(start_ - 1))
                tally.word += tileValue(line_.at(--start_));
            WordGraph::Node node = WordGraph::kRoot;
            for (int at = start_; at < anchor_ && node != WordGraph::kNoNode; ++at)
                node = graph_.child(node, line_.at(at).letter);
            play_.clear();
            if (node != WordGraph::kNoNode)
                extendRight(node, anchor_, tally);
            return;
        }
        // A left part lies on free squares that are no anchors, so it meets
        // no tile and forms no cross word; a play is found from its first anchor.
        int limit = 0;
        while (limit < rackSize_ - 1 && anchor_ - limit - 1 >= 0 &&
               !line_.occupied(anchor_ - limit - 1) && !squares_[anchor_ - limit - 1].anchor)
            ++limit;
        leftPart(WordGraph::kRoot, limit);
    }

    void leftPart(WordGraph::Node node, int limit) {
        start_ = anchor_ - static_cast<int>(left_.size());
        play_.clear();
        Tally tally;
        for (int at = start_; at < anchor_; ++at)
            lay(at, left_[at - start_], tally);
        extendRight(node, anchor_, tally);
        if (limit == 0)
            return;
        forEachTile(graph_.letters(node), [&](const Tile& tile) {
            left_.push_back(tile);
            leftPart(graph_.child(node, tile.letter), limit - 1);
            left_.pop_back();
        });
    }

    void extendRight(WordGraph::Node node, int position, Tally tally) {
        if (line_.occupied(position)) {
            const Tile& tile = line_.at(position);
            const WordGraph::Node next = graph_.child(node, tile.letter);
            tally.word += tileValue(tile);
            if (next != WordGraph::kNoNode)
                extendRight(next, position + 1, tally);
            return;
        }
        if (position > anchor_ && position - start_ >= 2 && graph_.isWord(node))
            report(tally);
        if (position == kBoardCells)
            return;
        forEachTile(graph_.letters(node) & squares_[position].allowed, [&](const Tile& tile) {
            Tally further = tally;
            lay(position, tile, further);
            extendRight(graph_.child(node, tile.letter), position + 1, further);
            play_.pop_back();
        });
    }

    // Calls `use` with each rack tile that can stand for a letter of the mask:
    // the rack's own letter, and a blank as that letter.
    template <typename Use> void forEachTile(std::uint32_t letters, Use&& use) {
        for (; letters != 0; letters &= letters - 1) {
            const int letter = std::countr_zero(letters);
            for (int slot : {letter, kBlankSlot}) {
                if (rack_[slot] == 0)
                    continue;
                --rack_[slot];
                use(Tile{static_cast<char>('A' + letter), slot == kBlankSlot});
                ++rack_[slot];
            }
        }
    }

    void lay(int position, const Tile& tile, Tally& tally) {
        const int column = line_.column(position);
        const int row = line_.row(position);
        const Premium square = premium(column, row);
        const int letterFactor = square == Premium::DoubleLetter   ? 2
                                 : square == Premium::TripleLetter ? 3
                                                                   : 1;
        const int wordFactor = square == Premium::DoubleWord   ? 2
                               : square == Premium::TripleWord ? 3
                                                               : 1;
        const int value = tileValue(tile) * letterFactor;
        tally.word += value;
        tally.multiplier *= wordFactor;
        if (squares_[position].crossScore != kNoCrossWord)
            tally.cross += (squares_[position].crossScore + value) * wordFactor;
        ++tally.laid;
        play_.push_back(LaidTile{column, row, tile});
    }

    void report(const Tally& tally) {
        // A single tile with a word on both lines is reported by its across
        // line only.
        if (tally.laid == 1 && line_.direction == Direction::Down &&
            squares_[play_.front().row].crossScore != kNoCrossWord)
            return;
        const int bonus = tally.laid == kRackSlots ? kAllTilesBonus : 0;
        visit_(play_, tally.word * tally.multiplier + tally.cross + bonus);
    }

    const WordGraph& graph_;
    const BoardLine line_;
    const LineSquares squares_;
    RackCount& rack_;
    const int rackSize_;
    const MoveGenerator::Visitor& visit_;
    int anchor_ = 0;
    int start_ = 0; // where the play's main word begins
    std::vector<Tile> left_;
    Play play_;
};

} // namespace

void MoveGenerator::forEachPlay(const Grid& grid, std::string_view rack,
                                const Visitor& visit) const {
    RackCount count{};
    int size = 0;
    for (char c : rack) {
        if (c >= 'A' && c <= 'Z')
            ++count[c - 'A'];
        else if (c == kUnnamedBlank)
            ++count[kBlankSlot];
        else
            continue;
        ++size;
    }
    const bool emptyBoard = grid.isEmpty();
    for (Direction direction : {Direction::Across, Direction::Down})
        for (int index = 0; index < kBoardCells; ++index)
            LineSearch(graph_, BoardLine{grid, direction, index}, emptyBoard, count, size, visit)
                .run();
}

std::vector<ScoredPlay> MoveGenerator::allPlays(const Grid& grid, std::string_view rack) const {
    std::vector<ScoredPlay> plays;
    forEachPlay(grid, rack, [&](const Play& play, int score) { plays.push_back({play, score}); });
    return plays;
}

} // namespace wordmoot
