#include "BruteForce.h"

#include "shared/rules/Scoring.h"

#include <algorithm>
#include <array>

namespace wordmoot::testing {

namespace {

constexpr int kBlankCount = 26;

// Fills the play's cells from the first empty one on, in every way the rack
// allows, and keeps each filling whose words are all in the list.
class Filling {
public:
    Filling(const Grid& grid, const WordList& words, std::array<int, 27>& rack,
            std::vector<ScoredPlay>& plays)
        : grid_(grid)
        , words_(words)
        , rack_(rack)
        , plays_(plays) {}

    void fill(Play& play, std::size_t next) {
        if (next == play.size()) {
            judge(play);
            return;
        }
        for (int slot = 0; slot <= kBlankCount; ++slot) {
            if (rack_[slot] == 0)
                continue;
            --rack_[slot];
            for (char letter = 'A'; letter <= 'Z'; ++letter) {
                if (slot != kBlankCount && letter != 'A' + slot)
                    continue;
                play[next].tile = Tile{letter, slot == kBlankCount};
                fill(play, next + 1);
            }
            ++rack_[slot];
        }
    }

private:
    void judge(const Play& play) {
        const std::vector<FormedWord> words = formedWords(grid_, play);
        const bool allWords = std::all_of(words.begin(), words.end(), [&](const FormedWord& w) {
            return words_.contains(w.letters);
        });
        if (!words.empty() && allWords)
            plays_.push_back({play, scorePlay(grid_, play)});
    }

    const Grid& grid_;
    const WordList& words_;
    std::array<int, 27>& rack_;
    std::vector<ScoredPlay>& plays_;
};

} // namespace

std::vector<ScoredPlay> BruteForce::allPlays(const Grid& grid, std::string_view rack) const {
    std::array<int, 27> count{};
    int size = 0;
    for (char tile : rack) {
        if (tile == kUnnamedBlank)
            ++count[kBlankCount];
        else if (tile >= 'A' && tile <= 'Z')
            ++count[tile - 'A'];
        else
            continue;
        ++size;
    }
    std::vector<ScoredPlay> plays;
    Filling filling(grid, words_, count, plays);
    for (bool across : {true, false})
        for (int line = 0; line < kBoardCells; ++line)
            for (int start = 0; start < kBoardCells; ++start) {
                // The cells of a play of `tiles` tiles from `start`: the free
                // ones in order, passing over the tiles already down.
                Play play;
                int at = start;
                for (int tiles = 1; tiles <= size; ++tiles) {
                    // Any letter will do for the placement check.
                    auto cell = [&](int i) {
                        return across ? LaidTile{i, line, Tile{'A'}} : LaidTile{line, i, Tile{'A'}};
                    };
                    while (at < kBoardCells && !grid.at(cell(at).column, cell(at).row).isEmpty())
                        ++at;
                    if (at == kBoardCells || (tiles == 1 && at != start))
                        break;
                    play.push_back(cell(at++));
                    // A single tile lies on both lines: it is tried across only.
                    if ((tiles == 1 && !across) ||
                        checkPlacement(grid, play) != PlacementFault::None)
                        continue;
                    filling.fill(play, 0);
                }
            }
    return plays;
}

std::vector<std::string> described(const std::vector<ScoredPlay>& plays) {
    std::vector<std::string> lines;
    for (const ScoredPlay& scored : plays) {
        std::string line;
        for (const LaidTile& laid : scored.play)
            line += "(" + std::to_string(laid.column) + "," + std::to_string(laid.row) + ")" +
                    static_cast<char>(laid.tile.blank ? laid.tile.letter - 'A' + 'a'
                                                      : laid.tile.letter) +
                    " ";
        lines.push_back(line + "= " + std::to_string(scored.score));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

} // namespace wordmoot::testing
