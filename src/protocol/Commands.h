#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Every line the client sends is built here; the connection adds CR LF.
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
// The laid tiles as "column,row,LETTER " each, a blank after every one.
inline QString play(const QString& tiles) {
    return QStringLiteral("PLAY ") + tiles;
}
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

} // namespace wordmoot::command

namespace wordmoot {

// One command as it goes on the wire: one byte per character in the 8-bit
// character set, then CR LF. CR, LF and NUL inside the command become blanks,
// so nothing can end the line early or smuggle in a second command; a
// character with no 8-bit byte goes out as one "?".
QByteArray encodeCommandLine(const QString& command);

// Letters as a command names tiles: each character upper-cased into one
// character that still fits a byte on the wire, so one tile stays one tile
// ("\u00DF" has no such upper case and goes as it is; "\u00FF" would become
// a character with no byte and also goes as it is). Other characters go as
// they are.
QString tileLetters(const QString& letters);

// One received line as text: every byte is the 8-bit character of that code,
// except NUL, which cannot be shown and becomes U+FFFD.
QString decodeServerLine(QByteArrayView line);

} // namespace wordmoot
