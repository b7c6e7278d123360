#include "shared/protocol/TileText.h"

namespace wordmoot {

std::optional<Tile> laidTileOf(char cell) {
    if (cell >= 'A' && cell <= 'Z')
        return Tile{cell, false};
    if (cell >= 'a' && cell <= 'z')
        return Tile{char(cell - 'a' + 'A'), true};
    if (cell == kUnnamedBlank)
        return Tile{kUnnamedBlank, true};
    return std::nullopt;
}

std::vector<TileEntry> tileEntries(const Play& play) {
    std::vector<TileEntry> entries;
    entries.reserve(play.size());
    for (const LaidTile& t : play)
        entries.push_back({t.column, t.row, cellText(t.tile)});
    return entries;
}

QByteArray tileListText(std::span<const TileEntry> tiles) {
    QByteArray text;
    for (const TileEntry& t : tiles)
        text += QByteArray::number(t.column) + ',' + QByteArray::number(t.row) + ',' + t.cell + ' ';
    return text;
}

} // namespace wordmoot
