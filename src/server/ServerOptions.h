#pragma once

#include "robot/Choice.h"
#include "shared/rules/Game.h"
#include "shared/rules/WordList.h"

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <variant>

namespace wordmoot::server {

struct ServerOptions {
    QHostAddress listen = QHostAddress::LocalHost;
    quint16 port = 7096;
    QString words; // the word list's file; empty for none
    // Without --words: where the list was looked for and what was found.
    std::optional<DefaultWordList> wordsFound;
    Judging judging = Judging::None;
    int voteSeconds = 30;
    std::optional<std::uint64_t> seed;
    int maxGames = 9;       // game numbers are one character: 1 to 9
    QString clientVersion;  // the newest client, announced when set
    int robots = 0;         // robots seated in every new game
    int robotDelayMs = 800; // how long a robot seems to think
    robot::Level robotLevel = robot::Level::Casual;
    int robotThinkMs = 2000; // the most a champion robot thinks over a move
    QString leaves;          // a leave table to use instead of the one built in
    QString records;         // a folder for the .gcg records of finished games
    int idleExitSeconds = 0; // ends the server after this long without a client; 0: never
    QStringList check;       // --check: the words to judge, and nothing else to do
    // Where accounts, ratings and games are kept (SqlStore's addresses);
    // "none" keeps them in memory.
    QString store = "none";
    QString hall = "main";     // this server's name among the halls sharing the store
    QString hallAddress;       // where players reach it; the listening address by default
    int identifySeconds = 60;  // how long a registered name may go unproved
    int seatGraceSeconds = 120; // how long a dropped player's seat waits for them; 0: not at all
    int turnSeconds = 0;        // the time for each turn; 0: no turn clock
    int gameMinutes = 0;        // each player's time for the whole game; 0: no game clock
    QByteArray operatorName;    // who may ask STATS, once identified; empty: nobody
    // What keeps a public server usable to all (see docs/server.md).
    int floodLines = 10;        // the lines a client may send at once
    int floodRate = 2;          // and then each second; 0: no limit
    int perAddress = 10;        // connections from one address at once; 0: no limit
    int nameSeconds = 30;       // how long a connection may go without a name
    // How long a game not in play may wait with no person ready in it
    // (--form-minutes, here in seconds); 0: for ever.
    int formSeconds = 600;
};

struct OptionsParsed {
    std::optional<ServerOptions> options; // nullopt when the text below is all to say
    QString text;                         // help, the version, or the one-line error
    bool failed = false;
};

// Where a server started by a user keeps its store when no --store is given:
// server.sqlite in the user's data folder (XDG_DATA_HOME/wordmoot).
QString defaultStore();

// The command line, arguments[0] being the program. The word list defaults
// to the game's own (defaultWordList()); the judging to challenge when there
// is a word list and to none without one.
OptionsParsed parseOptions(const QStringList& arguments);

} // namespace wordmoot::server
