#pragma once

#include "shared/rules/Board.h"

#include <array>
#include <vector>

// Tiles as the game holds them: a letter from A to Z, and whether the tile is
// a blank standing for that letter. The client keeps the board as the server
// writes it; the server, the robots and the scoring keep it as this.
namespace wordmoot {

// The letter of a blank whose letter nobody has named: it forms words but
// matches none, and scores nothing like every blank.
inline constexpr char kUnnamedBlank = '_';

struct Tile {
    char letter = 0; // 'A' to 'Z'; 0 for no tile
    bool blank = false;

    bool isEmpty() const { return letter == 0; }
    bool operator==(const Tile&) const = default;
};

// What a tile scores before premiums: a blank nothing, a letter its value.
inline int tileValue(const Tile& tile) {
    return tile.blank || tile.isEmpty() ? 0 : letterValue(QChar(tile.letter)).value_or(0);
}

// A cell as the board shows it and lines write it: "." for no tile, the
// letter, a blank in lower case when its letter is named and "_" when not. A
// blank keeps its letter visible because the words on the board must read.
inline char cellText(const Tile& tile) {
    if (tile.isEmpty())
        return '.';
    if (tile.letter == kUnnamedBlank || !tile.blank)
        return tile.letter;
    return char(tile.letter - 'A' + 'a');
}

// The board's tiles, addressed (column, row) like every board in the game.
class Grid {
public:
    const Tile& at(int column, int row) const { return cells_[index(column, row)]; }
    Tile& at(int column, int row) { return cells_[index(column, row)]; }
    static bool onBoard(int column, int row) {
        return column >= 0 && column < kBoardCells && row >= 0 && row < kBoardCells;
    }
    bool isEmpty() const {
        for (const Tile& tile : cells_)
            if (!tile.isEmpty())
                return false;
        return true;
    }
    bool operator==(const Grid&) const = default;

private:
    static int index(int column, int row) { return column * kBoardCells + row; }
    std::array<Tile, kBoardCells * kBoardCells> cells_{};
};

// One tile a play lays on the board.
struct LaidTile {
    int column = 0;
    int row = 0;
    Tile tile;

    bool operator==(const LaidTile&) const = default;
};
using Play = std::vector<LaidTile>;

// Lays the play's tiles on the grid.
inline void lay(Grid& grid, const Play& play) {
    for (const LaidTile& t : play)
        grid.at(t.column, t.row) = t.tile;
}

} // namespace wordmoot
