// Seats kept for players whose connection dropped. For --seat-grace-seconds
// the seat keeps its rack and score, its name is kept from others and its
// clock stops; the game goes on around it, but waits at its turn. Its player
// takes it back by joining the game under the name: from the same address,
// or identified where the player had proved the name. Once the time is up the
// seat counts as left, and goes to a watcher as any seat left does.
#include "server/accounts/Names.h"
#include "shared/protocol/ReplyCode.h"
#include "server/EventLog.h"
#include "server/Lobby.h"
#include "server/RobotSeat.h"
#include "server/Room.h"
#include "server/User.h"

#include <algorithm>

namespace wordmoot::server {

namespace {
// "2 minutes", "90 seconds", "1 minute".
QByteArray spokenTime(int seconds) {
    const bool minutes = seconds % 60 == 0;
    const int count = minutes ? seconds / 60 : seconds;
    return QByteArray::number(count) + (minutes ? " minute" : " second") + (count == 1 ? "" : "s");
}
} // namespace

// Whether the seat waits for the user who dropped from it; false when the
// seat is let go as before: a robot's, a player who said QUIT, no game in
// play, or no grace at all.
bool Room::keepSeat(User& u, int seat) {
    const int grace = lobby_.options().seatGraceSeconds;
    if (seat < 0 || phase_ != Phase::Playing || grace <= 0 || robotOf(&u) || u.quitting)
        return false;
    holders_[seat] = nullptr;
    keep_[seat].away = QDeadlineTimer(grace * 1000LL);
    toAll(ReplyCode::Notice,
          u.name + " lost the connection; the seat is kept for " + spokenTime(grace));
    logEvent("away", field("seat", seat) + ' ' + field("player", u.name));
    armGrace();
    updateClock();
    sendScores(nullptr);
    return true;
}

int Room::awaySeatFor(const User& u) const {
    if (phase_ != Phase::Playing)
        return -1;
    for (int seat = 0; seat < int(keep_.size()); ++seat) {
        const Keep& k = keep_[seat];
        if (k.away && accounts::folded(nameOf(seat)) == accounts::folded(u.name) &&
            (k.identified ? u.identified : !u.address.isEmpty() && u.address == k.address))
            return seat;
    }
    return -1;
}

bool Room::mayTakeName(const User& u, const QByteArray& name) const {
    if (phase_ != Phase::Playing)
        return true;
    for (int seat = 0; seat < int(keep_.size()); ++seat) {
        if (!keep_[seat].away)
            continue;
        if (accounts::folded(nameOf(seat)) == accounts::folded(name))
            return keep_[seat].identified || u.address == keep_[seat].address;
        if (accounts::lookAlike(nameOf(seat), name))
            return false; // only the seat's own name takes it back
    }
    return true;
}

// Back in the seat with its rack, whoever's turn it is: the client hears it
// watches the game in play, has joined, and has taken over the seat, then
// the whole position.
void Room::rejoin(User& u, int seat) {
    keep_[seat].away.reset();
    holders_[seat] = &u;
    armGrace();
    toAll(ReplyCode::Notice, u.name + " is back in the seat");
    sendScores(nullptr); // to the others: the seat is no longer away
    logEvent("back", field("seat", seat) + ' ' + field("player", u.name));
    members_.push_back(&u);
    u.room = this;
    tellRole(u, ReplyCode::WatchingGameInPlay);
    tell(u, ReplyCode::Joined);
    tellRole(u, ReplyCode::TookOverSeat);
    sendPosition(u);
    // A play waiting for the others' vote is put to the player again.
    if (const auto& pending = game_->pending(); pending && pending->seat != seat)
        tell(u, ReplyCode::PlayMade,
               reply::playMade(nameOf(pending->seat), pending->score, pending->play));
    updateClock();
}

void Room::proved(User& u) {
    const int seat = awaySeatFor(u);
    if (seat < 0)
        return;
    std::erase(members_, &u);
    declined_.erase(&u);
    if (offeredTo_ == &u)
        offerRefused();
    rejoin(u, seat);
}

void Room::armGrace() {
    std::optional<QDeadlineTimer> first;
    for (const Keep& k : keep_)
        if (k.away && (!first || k.away->deadline() < first->deadline()))
            first = k.away;
    if (!first)
        return graceTimer_.stop();
    graceTimer_.start(int(std::clamp<qint64>(first->remainingTime(), 0, 86400000)));
}

void Room::graceEnds() {
    for (int seat = 0; seat < int(keep_.size()) && phase_ == Phase::Playing; ++seat) {
        if (!keep_[seat].away || !keep_[seat].away->hasExpired())
            continue;
        keep_[seat].away.reset();
        toAll(ReplyCode::Notice, nameOf(seat) + " did not come back: the seat is free");
        seatLost(seat);
    }
    armGrace();
    if (isEmpty())
        lobby_.roomEmptied(this);
}

void Room::seatLost(int seat) {
    holders_[seat] = nullptr;
    act({GameInput::Kind::Leave, seat});
    if (phase_ != Phase::Playing)
        return;
    sendScores(nullptr);
    offerSeat();
    endIfTooFew();
}

} // namespace wordmoot::server
