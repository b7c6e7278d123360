#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

namespace wordmoot::server {

class User;

// One seat of the game in play.
struct SeatRecord {
    User* holder = nullptr;     // its player now, or none
    QByteArray address;         // where its player connects from
    bool identified = false;    // its player had proved the name
    // The name its player had proved when the game began, or none. The seat
    // is rated for that name if nobody else has taken it over.
    QByteArray provedAtStart;
    std::optional<QDeadlineTimer> away; // until when it waits for its player
};

// The seats of the game in play, one record a seat. A seat whose player's
// connection dropped is kept for a while (--seat-grace-seconds): its name is
// kept from others, and its player takes it back by joining under the name,
// from the same address or, where the player had proved the name,
// identified again. When the first kept seat's time is up, `graceEnds` runs.
class Seats {
public:
    explicit Seats(std::function<void()> graceEnds);

    // The seats of a game that begins, each held by its player.
    void begin(const std::vector<User*>& players);
    // The seats of a game its journal brings back, held by nobody yet.
    void restore(std::vector<SeatRecord> seats);

    int size() const { return int(seats_.size()); }
    SeatRecord& operator[](int seat) { return seats_[seat]; }
    const SeatRecord& operator[](int seat) const { return seats_[seat]; }
    std::vector<SeatRecord>::const_iterator begin() const { return seats_.begin(); }
    std::vector<SeatRecord>::const_iterator end() const { return seats_.end(); }

    // The seat the user holds, or -1.
    int of(const User& u) const;
    User* holder(int seat) const;
    // The user takes over the seat: it is rated for nobody's proved name
    // but its own.
    void hold(int seat, User& u);
    void release(const User* u);
    // The first seat without a player that waits for nobody, or -1.
    int firstFree() const;

    bool isAway(int seat) const { return seats_[seat].away.has_value(); }
    bool anyAway() const;
    // The seat waits `ms` for its player, who dropped.
    void keep(int seat, qint64 ms);
    // The player is back in the seat kept for it.
    void back(int seat, User& u);
    // The kept seats whose time is up, in seat order: they wait no more.
    std::vector<int> expire();
    // The game is over: no seat waits any more.
    void stopWaiting();
    // The seat kept for the user: its name (as `names` has each seat's),
    // and the same address or, for a proved name, proved again; or -1.
    int keptFor(const User& u, const std::vector<QByteArray>& names) const;
    // Whether the user may take the name: not while a kept seat bears it,
    // unless the user may be that seat's player; a name that only looks
    // like the seat's is never its player's.
    bool mayTakeName(const User& u, const QByteArray& name,
                     const std::vector<QByteArray>& names) const;

private:
    void armGrace();

    std::vector<SeatRecord> seats_;
    QTimer graceTimer_;
};

} // namespace wordmoot::server
