#pragma once

#include "shared/rules/Tiles.h"
#include "robot/WordGraph.h"

#include <array>
#include <cstdint>

// A row or a column of the board seen as positions 0 to 14, and what the move
// generator knows of each of its empty squares before it lays a tile there.
namespace wordmoot {

enum class Direction { Across, Down };

struct BoardLine {
    const Grid& grid;
    Direction direction;
    int index; // the row of an across line, the column of a down line

    int column(int position) const { return direction == Direction::Across ? position : index; }
    int row(int position) const { return direction == Direction::Across ? index : position; }
    const Tile& at(int position) const { return grid.at(column(position), row(position)); }
    bool occupied(int position) const {
        return position >= 0 && position < kBoardCells && !at(position).isEmpty();
    }
    // The line that crosses this one at a position.
    BoardLine crossing(int position) const {
        return {grid, direction == Direction::Across ? Direction::Down : Direction::Across,
                position};
    }
};

inline constexpr int kNoCrossWord = -1;

// An empty square as the line's plays see it. A tile laid there also forms
// the word across the line through it (its cross word), if there are tiles
// beside it on the crossing line.
struct LineSquare {
    std::uint32_t allowed = WordGraph::kAllLetters; // letters whose cross word is a word
    int crossScore = kNoCrossWord; // face value of the cross word's tiles already down
    bool anchor = false;           // a play of the line covering it touches a tile
};

using LineSquares = std::array<LineSquare, kBoardCells>;

// The cross-checks and anchors of every empty square of a line. On an empty
// board the centre is the only anchor.
LineSquares lineSquares(const WordGraph& graph, const BoardLine& line, bool emptyBoard);

} // namespace wordmoot
