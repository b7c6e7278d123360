#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <variant>
#include <vector>

// What the game panel shows reaches the client as 2028 lines, a keyword
// first: a code that clients of the first protocol take no notice of, so
// they see no change. The server sends them to players and watchers as the
// game goes, and the whole table again on joining and on REFRESH:
//
//   2028 BAG 86                       tiles in the bag
//   2028 UNSEEN AAEIIKNO_             the tiles the recipient has not seen, a blank as _ last
//   2028 CLOCK GAME ann ann 595000 bob 600000
//                                     the clock (TURN or GAME), whose runs (- for none),
//                                     then each player's time left in ms (below 0: overtime)
//   2028 MOVES 2                      the move list restarts with this many moves
//   2028 MOVE 1 ann 24 24 8D VAL.T VALET
//   2028 MOVE 2 bob 0 0 -QU -         a move: number, player, score, total, the move as a
//                                     record writes it, its words (- for none), a note
//   2028 PREVIEW 24 VALET             to PREVIEW: the score the tiles would get and the words,
//   2028 PREVIEW REFUSED 5032 the tiles must lie in one line
//                                     or the refusal PLAY would give, with its code
//
// Player names are single words, as the server allows them. A client reads
// leniently: a line it cannot read is dropped.
namespace wordmoot::table {

struct Bag {
    int tiles = 0;
};
struct Unseen {
    QString tiles;
};
struct Clock {
    bool gameClock = false;  // the whole game's time, else the turn's
    QString running;         // whose clock runs; empty when it is stopped
    struct Entry {
        QString player;
        qint64 leftMs = 0;
    };
    std::vector<Entry> entries;
};
struct Moves {
    int count = 0;
};
struct Move {
    int number = 0;
    QString player;
    int score = 0;
    int total = 0;
    QString notation; // "8D VAL.T", "-", "-QU", "--", "(EX)", "(time)"
    QString words;    // "VALET, AT" for a play; empty for none
    QString note;     // "lost turn: challenged a valid play", or empty
};
struct Preview {
    std::optional<int> refusedCode; // the code PLAY would refuse with
    int score = 0;
    QString words;  // the words the tiles form
    QString reason; // why PLAY would refuse them
};

QByteArray bag(int tiles);
QByteArray unseen(const QString& tiles);
QByteArray clock(const Clock& clock);
QByteArray moves(int count);
QByteArray move(const Move& move);
QByteArray preview(const Preview& preview);

using Line = std::variant<Bag, Unseen, Clock, Moves, Move, Preview>;
// A 2028 line's argument; nullopt for a keyword this client does not know,
// or a line it cannot read.
std::optional<Line> parse(QStringView argument);

// The most moves a list holds: a game has far fewer.
inline constexpr int kMostMoves = 1000;

} // namespace wordmoot::table
