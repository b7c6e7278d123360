#include "shared/protocol/Commands.h"

#include "shared/protocol/NumericText.h"

#include <QList>

namespace wordmoot::command {

QString join(int game) {
    return QStringLiteral("JOIN ") + numberText(game);
}

QString play(std::span<const TileEntry> tiles) {
    return QStringLiteral("PLAY ") + QString::fromLatin1(tileListText(tiles));
}

QString preview(std::span<const TileEntry> tiles) {
    return QStringLiteral("PREVIEW ") + QString::fromLatin1(tileListText(tiles));
}

char commandByte(QChar c) {
    return c.unicode() < 256 ? char(c.unicode()) : '?';
}

Line split(const QByteArray& line) {
    const qsizetype blank = line.indexOf(' ');
    if (blank < 0)
        return {line.toUpper(), {}};
    return {line.left(blank).toUpper(), line.mid(blank + 1)};
}

std::optional<int> parseGameNumber(QByteArrayView argument) {
    const QByteArrayView trimmed = argument.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 6)
        return std::nullopt;
    bool ok = false;
    const int value = trimmed.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<Play> parsePlay(QByteArrayView argument) {
    Play play;
    for (const QByteArray& entry : argument.toByteArray().split(' ')) {
        if (entry.isEmpty())
            continue;
        const QList<QByteArray> parts = entry.split(',');
        if (parts.size() != 3 || parts[2].size() != 1 || play.size() == kRackSlots)
            return std::nullopt;
        const auto column = parseGameNumber(parts[0]);
        const auto row = parseGameNumber(parts[1]);
        const auto tile = laidTileOf(parts[2][0]);
        if (!column || !row || !tile)
            return std::nullopt;
        play.push_back(LaidTile{*column, *row, *tile});
    }
    return play.empty() ? std::nullopt : std::optional<Play>(play);
}

std::optional<std::string> parseExchange(QByteArrayView argument) {
    std::string tiles;
    for (const char c : argument) {
        if (c == ' ')
            continue;
        if (c != kUnnamedBlank && (c < 'A' || c > 'Z'))
            return std::nullopt;
        tiles += c;
    }
    return tiles;
}

Tell parseTell(const QByteArray& argument) {
    const qsizetype blank = argument.indexOf(' ');
    if (blank < 0)
        return {argument, {}};
    return {argument.left(blank), argument.mid(blank + 1)};
}

QByteArrayList parseCheck(const QByteArray& argument) {
    const QByteArray words = argument.simplified();
    return words.isEmpty() ? QByteArrayList() : words.split(' ');
}

std::optional<RobotAsk> parseRobot(const QByteArray& argument) {
    const QByteArray what = argument.trimmed().toLower();
    if (what.contains(' ') || what.contains('\t'))
        return std::nullopt;
    if (what == "off")
        return RobotAsk{false, {}};
    return RobotAsk{true, what};
}

} // namespace wordmoot::command

namespace wordmoot {

QString tileLetters(const QString& letters) {
    QString upper = letters;
    for (QChar& c : upper) {
        const QChar big = c.toUpper();
        if (big.unicode() < 256)
            c = big;
    }
    return upper;
}

} // namespace wordmoot
