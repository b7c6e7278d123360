#pragma once

#include "shared/rules/Tiles.h"

#include <QByteArray>

#include <optional>
#include <span>

// Tiles as lines write them, at both ends.
namespace wordmoot {

// A cell is written as cellText (rules/Tiles.h) has it.
// The tile a cell stands for in a play: a letter, a named blank in lower
// case or "_"; nullopt for any other byte ("." too: a play lays tiles).
std::optional<Tile> laidTileOf(char cell);

// One tile of a tile list, as "column,row,cell".
struct TileEntry {
    int column = 0;
    int row = 0;
    char cell = 0;

    bool operator==(const TileEntry&) const = default;
};
std::vector<TileEntry> tileEntries(const Play& play);
// "7,7,C 8,7,A 9,7,T ": each entry and a blank after it.
QByteArray tileListText(std::span<const TileEntry> tiles);

} // namespace wordmoot
