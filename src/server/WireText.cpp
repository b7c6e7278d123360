#include "server/WireText.h"

#include <QList>

namespace wordmoot::server {

char cellText(const Tile& tile) {
    if (tile.isEmpty())
        return '.';
    if (tile.letter == kUnnamedBlank || !tile.blank)
        return tile.letter;
    return char(tile.letter - 'A' + 'a');
}

QByteArray rowText(const Grid& board, int row) {
    QByteArray text = QByteArray::number(row) + ' ';
    for (int column = 0; column < kBoardCells; ++column)
        text += cellText(board.at(column, row));
    return text;
}

QByteArray tilesText(const Play& play) {
    QByteArray text;
    for (const LaidTile& t : play)
        text += QByteArray::number(t.column) + ',' + QByteArray::number(t.row) + ',' +
                cellText(t.tile) + ' ';
    return text;
}

std::optional<int> leadingInt(const QByteArray& text) {
    const QByteArray trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 6)
        return std::nullopt;
    bool ok = false;
    const int value = trimmed.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<Play> parsePlay(const QByteArray& text) {
    Play play;
    for (const QByteArray& entry : text.split(' ')) {
        if (entry.isEmpty())
            continue;
        const QList<QByteArray> parts = entry.split(',');
        if (parts.size() != 3 || parts[2].size() != 1 || play.size() == kRackSlots)
            return std::nullopt;
        const auto column = leadingInt(parts[0]);
        const auto row = leadingInt(parts[1]);
        const char cell = parts[2][0];
        const bool named = cell >= 'a' && cell <= 'z'; // a blank the player named
        const bool blank = cell == kUnnamedBlank || named;
        if (!column || !row || (!blank && (cell < 'A' || cell > 'Z')))
            return std::nullopt;
        play.push_back(LaidTile{*column, *row, Tile{named ? char(cell - 'a' + 'A') : cell, blank}});
    }
    return play.empty() ? std::nullopt : std::optional<Play>(play);
}

std::optional<std::string> parseExchange(const QByteArray& text) {
    std::string tiles;
    for (const char c : text) {
        if (c == ' ')
            continue;
        if (c != kUnnamedBlank && (c < 'A' || c > 'Z'))
            return std::nullopt;
        tiles += c;
    }
    return tiles;
}

} // namespace wordmoot::server
