#pragma once

#include "server/rating/Glicko2.h"
#include "robot/Choice.h"
#include "server/store/Store.h"

#include <QByteArray>
#include <QObject>

#include <optional>
#include <vector>

namespace wordmoot::server {

class CommandRegistry;

class Lobby;
class User;

// Ratings and the games of the past. Every finished game is kept with its
// record; a game is rated for each identified player, against every other
// identified player in it (pairwise, with more than two) and against each
// robot at the fixed rating of its level: a winner beats everyone else,
// winners of a draw share it, a player who left loses to everyone who
// stayed, and among the others the higher score wins. RATING [name], TOP, HISTORY [name] and
// RECORD id read them back.
class Standings : public QObject {
    Q_OBJECT
public:
    static constexpr int kListed = 10; // TOP and HISTORY

    struct Seat {
        QByteArray name;
        int score = 0;
        bool won = false;       // a winner, or one of those sharing a draw
        bool left = false;      // its player left the game before the end
        quint64 serial = 0;     // who to tell; 0 for none
        bool identified = false;
        std::optional<robot::Level> robot;
    };

    explicit Standings(Lobby& lobby);

    // RATING, TOP, HISTORY and RECORD.
    void addCommands(CommandRegistry& commands);
    // Keeps the game and rates it; each identified player is told its new
    // rating.
    // The game's journal goes in the same transaction.
    void gameFinished(std::vector<Seat> seats, QByteArray result, QByteArray record,
                      store::LiveKey journal);

    // What a robot of the level counts as: its rating never changes.
    static rating::Rating robotRating(robot::Level level);

private:
    void rating(User& u, const QByteArray& arg);
    void top(User& u, const QByteArray& arg);
    void history(User& u, const QByteArray& arg);
    void record(User& u, const QByteArray& arg);
    // Notices to the user of that serial, if still there.
    void tell(quint64 serial, const QByteArrayList& lines);

    Lobby& lobby_;
};

} // namespace wordmoot::server
