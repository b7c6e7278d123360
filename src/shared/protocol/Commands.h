#pragma once

#include "shared/protocol/TileText.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <span>
#include <string>

// Every command: how the client writes it (the connection adds the line
// end) and, for those with arguments, how the server reads it.
namespace wordmoot::command {

inline QString name(const QString& nickname) {
    return QStringLiteral("NAME ") + nickname;
}
inline QString version() {
    return QStringLiteral("VERSION");
}
inline QString gameList() {
    return QStringLiteral("GLIST");
}
inline QString gameInfo(const QString& game) {
    return QStringLiteral("GINFO ") + game;
}
inline QString newGame() {
    return QStringLiteral("NEWGAME");
}
// The game number goes out as a number is printed with room for its sign,
// so game 3 is "JOIN  3" with two blanks: the server expects that.
QString join(int game);
inline QString ready() {
    return QStringLiteral("READY");
}
inline QString observe() {
    return QStringLiteral("OBSERVER");
}
// Seats a robot of that level in the forming game; then START begins it.
inline QString robot(const QString& level) {
    return QStringLiteral("ROBOT ") + level;
}
inline QString start() {
    return QStringLiteral("START");
}
inline QString hint() {
    return QStringLiteral("HINT");
}
// "PLAY 7,7,C 8,7,a ": the laid tiles, a blank after every one; a blank
// the player names in lower case, one the server is to name as "_".
QString play(std::span<const TileEntry> tiles);
// "PREVIEW 7,7,C 8,7,a ": the same tiles, to learn what PLAY would make of them.
QString preview(std::span<const TileEntry> tiles);
// A character as one byte of a command: itself when it has one, else "?".
char commandByte(QChar c);
inline QString withdraw() {
    return QStringLiteral("WITHDRAW");
}
inline QString exchange(const QString& letters) {
    return QStringLiteral("EXCHANGE ") + letters;
}
inline QString forfeit() {
    return QStringLiteral("FORFEIT");
}
inline QString leave() {
    return QStringLiteral("LEAVE");
}
inline QString quit() {
    return QStringLiteral("QUIT");
}
inline QString say(const QString& text) {
    return QStringLiteral("SAY ") + text;
}
inline QString tell(const QString& targetAndText) {
    return QStringLiteral("TELL ") + targetAndText;
}
inline QString emote(const QString& text) {
    return QStringLiteral("EMOTE ") + text;
}
inline QString approve() {
    return QStringLiteral("APPROVE");
}
inline QString refresh() {
    return QStringLiteral("REFRESH");
}

// What the server reads.

// The command's word in upper case, and what follows its first blank.
struct Line {
    QByteArray word;
    QByteArray argument;
};
Line split(const QByteArray& line);
// PLAY: up to seven tiles, "column,row,cell" each; nullopt for an entry not
// of that form.
std::optional<Play> parsePlay(QByteArrayView argument);
// EXCHANGE: letters and "_", blanks between ignored; nullopt for anything
// else.
std::optional<std::string> parseExchange(QByteArrayView argument);
// JOIN and GINFO: the game's number, blanks around it skipped ("  3").
std::optional<int> parseGameNumber(QByteArrayView argument);
// TELL: the user told, and the text.
struct Tell {
    QByteArray to;
    QByteArray text;
};
Tell parseTell(const QByteArray& argument);
// CHECK: the words, blanks between; none for an empty line.
QByteArrayList parseCheck(const QByteArray& argument);
// ROBOT: seat one, at the server's level or the one named; ROBOT OFF: send
// one away. Nullopt for more than one word.
struct RobotAsk {
    bool seat = true;
    QByteArray level; // lower case; empty for the server's own
    bool operator==(const RobotAsk&) const = default;
};
std::optional<RobotAsk> parseRobot(const QByteArray& argument);

} // namespace wordmoot::command

namespace wordmoot {

// Letters as a command names tiles: each character upper-cased into one
// character that still fits a byte on the wire, so one tile stays one tile
// ("\u00DF" has no such upper case and goes as it is; "\u00FF" would become
// a character with no byte and also goes as it is). Other characters go as
// they are.
QString tileLetters(const QString& letters);

} // namespace wordmoot
