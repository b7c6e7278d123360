#include "shared/protocol/Replies.h"

#include "shared/protocol/NumericText.h"

#include <QByteArrayList>

#include <algorithm>

namespace wordmoot::reply {

QByteArray greeting(QByteArrayView text) {
    return QByteArray::number(kProtocolVersion) + ' ' + text.toByteArray();
}

Greeting parseGreeting(QStringView argument) {
    const Words words = splitFirstWord(argument);
    return {numericValue(words.first), words.rest};
}

QByteArray newestClient(QByteArrayView version) {
    return "Newest client v" + version.toByteArray();
}

std::optional<QStringView> parseNewestClient(QStringView argument) {
    const Words afterFirst = splitFirstWord(argument);
    const qsizetype blank = afterFirst.rest.indexOf(u' ');
    if (!afterFirst.hadBlank || blank < 0)
        return std::nullopt;
    return afterFirst.rest.mid(blank + 2);
}

QByteArray gameNumbers(const std::vector<int>& numbers) {
    QByteArray text;
    for (const int number : numbers)
        text += QByteArray::number(number) + ' ';
    return text;
}

std::vector<QStringView> parseGameNumbers(QStringView argument, int most) {
    std::vector<QStringView> numbers;
    QStringView remaining = argument;
    while (!remaining.isEmpty() && int(numbers.size()) < most) {
        const Words words = splitFirstWord(remaining);
        if (!words.first.isEmpty())
            numbers.push_back(words.first);
        remaining = words.rest;
    }
    return numbers;
}

QByteArray gameDescription(const GameInfo& game) {
    static const char* const kStates[] = {"FORM", "PLAY", "OVER"};
    return QByteArray::number(game.number) + ' ' + kStates[int(game.state)] + ' ' +
           QByteArray::number(game.players) + ' ' +
           QByteArray::number(std::clamp(game.observers, 0, 9));
}

// Columns past the end of a short description read as empty text.
GameColumns parseGameDescription(QStringView argument) {
    const QStringView state = argument.mid(2, 4);
    return {argument.mid(0, 1), state == u"FORM", state == u"OVER", argument.mid(7, 1),
            argument.mid(9, 1)};
}

QByteArray robotsOffered(const std::vector<QByteArray>& levels) {
    QByteArray text = "ROBOT";
    for (const QByteArray& level : levels)
        text += ' ' + level;
    return text;
}

std::vector<QStringView> parseRobotsOffered(QStringView argument, int most) {
    std::vector<QStringView> levels;
    Words words = splitFirstWord(argument);
    if (words.first != u"ROBOT")
        return levels;
    while (words.hadBlank && int(levels.size()) < most) {
        words = splitFirstWord(words.rest);
        const bool letters = !words.first.isEmpty() && words.first.size() <= 20 &&
                             std::all_of(words.first.begin(), words.first.end(),
                                         [](QChar c) { return c >= u'a' && c <= u'z'; });
        if (letters)
            levels.push_back(words.first);
    }
    return levels;
}

QByteArray players(const std::vector<QByteArray>& names) {
    return QByteArrayList(names.begin(), names.end()).join(' ');
}

QByteArray whoseTurn(QByteArrayView player) {
    return player.toByteArray() + " to play";
}

QByteArray yourTurn(std::optional<char> startingTile) {
    return startingTile ? *startingTile + QByteArray(" is your starting tile: you begin")
                        : QByteArray("Your turn");
}

std::optional<QStringView> parseStartingTile(QStringView argument) {
    if (!argument.contains(u"starting tile"))
        return std::nullopt;
    return argument.mid(0, 1);
}

QByteArray startingLetter(char tile) {
    return QByteArray(1, tile) + " drawn again after a tie";
}

QByteArray playMade(QByteArrayView player, int score, const Play& play) {
    return player.toByteArray() + ' ' + QByteArray::number(score) + ' ' +
           tileListText(tileEntries(play));
}

PlayMade parsePlayMade(QStringView argument) {
    const Words player = splitFirstWord(argument);
    const Words score = splitFirstWord(player.rest);
    PlayMade made{player.first, score.first, {}};
    QStringView remaining = score.rest;
    for (int tiles = 0; !remaining.isEmpty() && tiles < kBoardCells * kBoardCells; ++tiles) {
        const Words tile = splitFirstWord(remaining);
        remaining = tile.rest;
        if (tile.first.contains(u'('))
            break;
        const qsizetype firstComma = tile.first.indexOf(u',');
        const qsizetype secondComma = tile.first.indexOf(u',', firstComma + 1);
        if (firstComma < 0 || secondComma < 0)
            continue;
        const auto column = boardIndex(tile.first.left(firstComma));
        const auto row = boardIndex(tile.first.mid(firstComma + 1, secondComma - firstComma - 1));
        if (column && row)
            made.tiles.push_back({*column, *row, tile.first.mid(secondComma + 1, 1)});
    }
    return made;
}

QByteArray score(const ScoreEntry& entry) {
    return entry.player + ' ' + QByteArray::number(entry.held) + ' ' +
           QByteArray::number(entry.score) + ' ' + entry.status;
}

std::optional<ScoreFields> parseScore(QStringView argument) {
    const Words player = splitFirstWord(argument);
    const Words count = splitFirstWord(player.rest);
    const Words score = splitFirstWord(count.rest);
    if (!count.hadBlank || !score.hadBlank)
        return std::nullopt;
    return ScoreFields{player.first, count.first, score.first, score.rest};
}

QByteArray chat(QByteArrayView sender, QByteArrayView text) {
    return sender.toByteArray() + ' ' + text.toByteArray();
}

QByteArray boardRow(const Grid& board, int row) {
    QByteArray text = QByteArray::number(row) + ' ';
    for (int column = 0; column < kBoardCells; ++column)
        text += cellText(board.at(column, row));
    return text;
}

std::optional<BoardRow> parseBoardRow(QStringView argument) {
    const Words words = splitFirstWord(argument);
    const auto row = boardIndex(words.first);
    if (!row)
        return std::nullopt;
    return BoardRow{*row, trimBlanks(words.rest)};
}

QByteArray rack(std::string_view letters) {
    return QByteArray(letters.data(), qsizetype(letters.size()));
}

QStringView parseRack(QStringView argument) {
    return trimBlanks(argument);
}

QByteArray nicknameChanged(QByteArrayView oldName, QByteArrayView newName) {
    return oldName.toByteArray() + ' ' + newName.toByteArray() + " is the new name";
}

std::optional<NicknameChange> parseNicknameChanged(QStringView argument) {
    const Words oldName = splitFirstWord(argument);
    const Words newName = splitFirstWord(oldName.rest);
    if (!oldName.hadBlank || newName.first.isEmpty())
        return std::nullopt;
    return NicknameChange{oldName.first, newName.first};
}

QByteArray result(QByteArrayView winners, int points) {
    return winners.toByteArray() + " with " + QByteArray::number(points) + " points";
}

std::optional<int> boardIndex(QStringView text) {
    const double value = numericValue(text);
    if (value < 0 || value >= kBoardCells || value != static_cast<int>(value))
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace wordmoot::reply
