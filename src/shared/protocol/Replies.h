#pragma once

#include "shared/protocol/TileText.h"
#include "shared/protocol/Words.h"

#include <QByteArray>
#include <QStringView>

#include <optional>
#include <string_view>
#include <vector>

// The replies that carry structure: for each, how the server writes it and
// how the client reads it. The server writes bytes; the client reads the
// line as text (decodeServerLine), leniently, since a server may send
// anything: a field that is not there reads as empty text. What a parser
// returns are views into the text it read, valid while that text is.
namespace wordmoot::reply {

// The protocol both ends speak; the greeting carries it.
inline constexpr int kProtocolVersion = 2;

// 1000 "2 Welcome ...": the protocol version, a blank, the greeting.
QByteArray greeting(QByteArrayView text);
struct Greeting {
    double version = 0; // the first word read as a number, 0 for none
    QStringView text;
};
Greeting parseGreeting(QStringView argument);

// 1980 "Newest client v0.6".
QByteArray newestClient(QByteArrayView version);
// What follows the second word's blank and the character after it ("0.6");
// nullopt for an announcement without those words.
std::optional<QStringView> parseNewestClient(QStringView argument);

// 1160 "1 2 5 ": the games' numbers, a blank after each.
QByteArray gameNumbers(const std::vector<int>& numbers);
// The words of the list, empty ones skipped, at most `most` of them.
std::vector<QStringView> parseGameNumbers(QStringView argument, int most);

// 1170 "3 FORM 2 1": a game's number, its state (FORM, PLAY or OVER), its
// players and its observers, each a single character in its column.
enum class GameState { Forming, Playing, Over };
struct GameInfo {
    int number = 0;
    GameState state = GameState::Forming;
    int players = 0;
    int observers = 0; // written as 9 when more
};
QByteArray gameDescription(const GameInfo& game);
struct GameColumns {
    QStringView game; // column 0
    bool forming = false;
    bool over = false; // its last game has ended, and the next one has not begun
    QStringView players;   // column 7
    QStringView observers; // column 9
};
GameColumns parseGameDescription(QStringView argument);

// 1140 "ROBOT casual greedy strong champion": sent before 1180 to the maker
// of a new game on a server that seats robots only when asked: ROBOT and the
// levels it takes, weakest first.
QByteArray robotsOffered(const std::vector<QByteArray>& levels);
// The levels, each a word of letters; at most `most` of them, and none for
// a line that is not an offer.
std::vector<QStringView> parseRobotsOffered(QStringView argument, int most);

// 2000 "ann bob": the players' names.
QByteArray players(const std::vector<QByteArray>& names);

// 2002 "bob to play".
QByteArray whoseTurn(QByteArrayView player);

// 1020: "Your turn", or "C is your starting tile: you begin".
QByteArray yourTurn(std::optional<char> startingTile);
// The starting tile's letter, or nullopt for a plain turn.
std::optional<QStringView> parseStartingTile(QStringView argument);

// 2001 "C drawn again after a tie": a new starting letter.
QByteArray startingLetter(char tile);

// 2003 "bob 10 7,7,C 8,7,A ": a play put to the others: who, its score, its
// tiles.
QByteArray playMade(QByteArrayView player, int score, const Play& play);
struct ShownTile {
    int column = 0;
    int row = 0;
    QStringView letter; // one character, or none when the entry ends at its comma
};
struct PlayMade {
    QStringView player;
    QStringView score;
    std::vector<ShownTile> tiles;
};
// A word with "(" ends the tiles, and so does the board's last cell: no play
// holds more tiles than the board has cells. A tile off the board or
// without its two commas is left out.
PlayMade parsePlayMade(QStringView argument);

// 2008 "bob 0 12 updated": player, the tiles left on the rack once the bag
// is empty (0 before), score, status.
struct ScoreEntry {
    QByteArray player;
    int held = 0;
    int score = 0;
    QByteArray status;
};
QByteArray score(const ScoreEntry& entry);
struct ScoreFields {
    QStringView player, count, score, status;
};
// nullopt for a line without the player, count and score words.
std::optional<ScoreFields> parseScore(QStringView argument);

// 2009 (said), 2010 (told) and 2025 (emote): the sender, a blank, the text.
// It reads with splitFirstWord.
QByteArray chat(QByteArrayView sender, QByteArrayView text);

// 2012 "7 ...CAT........": the row number, a blank, the fifteen cells.
QByteArray boardRow(const Grid& board, int row);
struct BoardRow {
    int row = 0;
    QStringView cells; // blanks at either end dropped
};
// nullopt for a row number off the board.
std::optional<BoardRow> parseBoardRow(QStringView argument);

// 2013: the rack's letters.
QByteArray rack(std::string_view letters);
QStringView parseRack(QStringView argument);

// 2019 "ann alicia is the new name": a player's old name and new one.
QByteArray nicknameChanged(QByteArrayView oldName, QByteArrayView newName);
struct NicknameChange {
    QStringView oldName, newName;
};
// Without a blank after the new name, the rest of the line is the new name;
// nullopt without both names.
std::optional<NicknameChange> parseNicknameChanged(QStringView argument);

// 2017 (one winner) and 2018 (a draw): "ann and bob with 300 points".
QByteArray result(QByteArrayView winners, int points);

// A column or row as the server wrote it, read as a number (0 for a text
// that is none), if that is a cell of the board.
std::optional<int> boardIndex(QStringView text);

} // namespace wordmoot::reply
