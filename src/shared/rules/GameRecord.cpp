#include "shared/rules/GameRecord.h"

#include "shared/rules/Scoring.h"

#include <algorithm>

namespace wordmoot {

std::string playNotation(const Grid& before, const Play& play) {
    const std::vector<FormedWord> words = formedWords(before, play);
    if (words.empty())
        return "-";
    const FormedWord& main = words.front();
    const std::string column(1, static_cast<char>('A' + main.column));
    const std::string row = std::to_string(main.row + 1);
    std::string notation = (main.across ? row + column : column + row) + ' ';
    int c = main.column;
    int r = main.row;
    for (std::size_t i = 0; i < main.letters.size(); ++i) {
        const Tile& old = before.at(c, r);
        if (!old.isEmpty()) {
            notation += '.';
        } else {
            const char letter = main.letters[i];
            const bool blank = letter == kUnnamedBlank ||
                               std::any_of(play.begin(), play.end(), [&](const LaidTile& t) {
                                   return t.column == c && t.row == r && t.tile.blank;
                               });
            notation += letter == kUnnamedBlank ? '?'
                        : blank                 ? static_cast<char>(letter - 'A' + 'a')
                                                : letter;
        }
        (main.across ? c : r) += 1;
    }
    return notation;
}

std::string recordTiles(std::string tiles) {
    for (char& tile : tiles)
        if (tile == kUnnamedBlank)
            tile = '?';
    return tiles;
}

std::string gcgText(const std::vector<std::string>& names, const std::vector<RecordedMove>& moves) {
    std::string text = "#character-encoding UTF-8\n";
    for (std::size_t i = 0; i < names.size(); ++i)
        text += "#player" + std::to_string(i + 1) + ' ' + names[i] + ' ' + names[i] + '\n';
    for (const RecordedMove& move : moves) {
        const std::string score = (move.score < 0 ? "" : "+") + std::to_string(move.score);
        // The player who went out takes the others' tiles with no rack of
        // their own: ">Ann: (QE) +11 380".
        const std::string rack = move.rack.empty() ? "" : recordTiles(move.rack) + ' ';
        text += '>' + names.at(move.seat) + ": " + rack + move.notation + ' ' + score + ' ' +
                std::to_string(move.total) + '\n';
        if (!move.note.empty())
            text += "#note " + move.note + '\n';
    }
    return text;
}

} // namespace wordmoot
