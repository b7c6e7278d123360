#pragma once

#include <QByteArray>
#include <QTimer>

#include <functional>
#include <set>
#include <vector>

namespace wordmoot::server {

class User;

// Who sits in a game while it forms, and when it may begin. Every seated
// player must be ready and two must sit; then the game begins once four are
// seated, when its starter says START (said before, it begins the moment
// that holds), or when the starter says READY with only robots beside them,
// so that one person plays the computer without a further word. A game
// nobody is ready to play closes after --form-minutes: `timeUp` runs.
class Forming {
public:
    static constexpr int kMostSeats = 4;
    // What is to happen after someone sat down, got ready or left.
    enum class Next { Wait, Begin, AskStarter };

    Forming(std::function<bool(const User*)> isRobot, std::function<void()> timeUp);

    const std::vector<User*>& seated() const { return seated_; }
    bool isSeated(const User& u) const;
    bool isReady(const User& u) const { return ready_.count(&u) > 0; }
    int readyCount() const { return int(ready_.size()); }
    bool isFull() const { return seated_.size() >= kMostSeats; }

    void sit(User& u);
    void ready(User& u);
    // Out of the seats: the user watches.
    void standUp(const User& u);
    // Out of the game: the user is no longer its maker nor its starter.
    void forget(const User& u);
    // The robot seated last, if any.
    User* lastRobot() const;

    // The user made the game. Until it is first played, it counts as made
    // from the user's address: one address makes one such game at a time.
    void setMaker(const User* u) { maker_ = u; }
    void madeFrom(const QByteArray& address) { madeFrom_ = address; }
    const QByteArray& madeFrom() const { return madeFrom_; }

    // Who starts the game: the player who made it while seated, else the
    // first person to have sat down.
    const User* starter() const;
    // "bob and cy": the seated players not yet ready.
    QByteArray notReady() const;
    bool mayBegin() const;
    // The starter said START before the game could begin.
    void wantBegin(const User& u) { beginWantedBy_ = &u; }
    // `readied` is who just said READY, if anyone.
    Next next(const User* readied) const;
    // The game begins with the seated players, who sit no more; the game is
    // played, so made from no address.
    std::vector<User*> begin();
    // The game is in play again, from its journal.
    void restored();

    // Runs while nobody waits to play (no person ready), the game not in play.
    void updateTimer(int seconds, bool playing);

private:
    std::function<bool(const User*)> isRobot_;
    std::vector<User*> seated_;
    std::set<const User*> ready_;
    const User* maker_ = nullptr;         // who made the game, while in the room
    const User* beginWantedBy_ = nullptr; // the starter said START before it could begin
    QByteArray madeFrom_;                 // the maker's address, until the game is played
    QTimer timer_;
};

} // namespace wordmoot::server
