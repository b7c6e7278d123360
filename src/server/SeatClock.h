#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

namespace wordmoot::server {

// The clock, when the server has one: --turn-seconds gives each turn its
// time, with a warning to the player at 30 and 10 seconds left (those that
// fit); --game-minutes gives each player time for the whole game. It runs
// only for the seat on turn, and only while the room says it may (no play
// waits for the vote, and the seat's player is there). What happens when
// it rings is the room's to say.
class SeatClock {
public:
    enum class Ring {
        Warning,    // `warningMs` left for the turn
        GameTimeUp, // the player's time for the game is up
        TurnTimeUp, // the turn's time is up
    };
    using Rings = std::function<void(int seat, Ring ring, int warningMs)>;
    // The turn as the game stands.
    struct Turn {
        int seat = -1;   // on turn; -1 for none
        int number = 0;  // turns the game has had
        bool runs = false;
    };

    SeatClock(int turnSeconds, int gameMinutes, Rings rings);

    bool exists() const { return turnSeconds_ > 0 || gameMinutes_ > 0; }
    // A game of `seats` begins, or is brought back: no time used yet.
    void begin(int seats);
    void restore(int seat, qint64 usedMs, int timeouts);
    // Another player takes over the seat: its run of turns out of time
    // starts afresh.
    void newPlayer(int seat) { seats_[seat].timeouts = 0; }
    // Charges the time run so far, then runs for the seat on turn if it
    // may; with no game in play, runs for none.
    void update(std::optional<Turn> turn);
    // The game is over.
    void stop();
    // The time the running clock has run since it was last charged.
    void chargeRunning();
    // The seat ended its turn with a move; unless the clock passed for it,
    // its run of turns out of time ends.
    void moved(int seat);
    qint64 usedMs(int seat) const { return seats_[seat].usedMs; }
    int timeouts(int seat) const { return seats_[seat].timeouts; }
    qint64 leftMs(int seat) const;
    bool isRunning() const { return seat_ >= 0; }
    // "Time left: ...", as REFRESH says it; `names` has each seat's.
    QByteArray text(const std::vector<QByteArray>& names) const;

private:
    void rings();

    struct SeatTime {
        qint64 usedMs = 0; // on the game's clock
        int timeouts = 0;  // turns in a row the clock ran out
    };
    const int turnSeconds_;
    const int gameMinutes_;
    Rings rings_;
    std::vector<SeatTime> seats_;
    Turn turn_;
    QTimer timer_;
    int seat_ = -1;         // whose clock runs; -1 for none
    QElapsedTimer since_;   // since it was last charged
    qint64 turnUsedMs_ = 0; // of the turn, on the turn's clock
    int ringsFor_ = 0;      // the warning it rings for, in ms left; 0: time up
    int warnedAt_ = 0;      // the last warning the turn had, in ms left; 0: none
    bool timingOut_ = false; // the pass under way is the clock's
};

} // namespace wordmoot::server
