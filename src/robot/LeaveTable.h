#pragma once

#include <QString>

#include <array>
#include <optional>
#include <string_view>

// What the tiles a robot keeps on its rack are worth for the turns to come,
// in points: learned by robot self-play (bench/robot/make-leaves.sh) and
// shipped as data/leaves.tsv. The value of a leave is the sum of
//   - each tile kept ("E"),
//   - each copy of a tile beyond the first ("EE"),
//   - each two different tiles kept together ("QU"), once per pair.
// A blank is "_". The file holds one "key<TAB>value" a line; lines that are
// empty or start with # are notes.
namespace wordmoot::robot {

class LeaveTable {
public:
    static constexpr int kTiles = 27; // 'A' to 'Z', then the blank

    // The tile's index from 0 to 26; -1 for anything else.
    static int index(char tile);
    static char tile(int index) { return index == 26 ? '_' : char('A' + index); }

    double value(std::string_view leave) const;

    void setSingle(int a, double v) { single_[a] = v; }
    void setDuplicate(int a, double v) { duplicate_[a] = v; }
    void setPair(int a, int b, double v) { pair_[a][b] = pair_[b][a] = v; }

    // The table in the file's form, every entry that is not zero.
    std::string text() const;
    // The table of such text; nullopt when a line is not a known key, a tab
    // and a number.
    static std::optional<LeaveTable> parse(std::string_view text);
    static std::optional<LeaveTable> load(const QString& path);
    // The table learned for this version of the game, built into the program.
    static const LeaveTable& builtIn();

private:
    std::array<double, kTiles> single_{};
    std::array<double, kTiles> duplicate_{};
    std::array<std::array<double, kTiles>, kTiles> pair_{};
};

} // namespace wordmoot::robot
