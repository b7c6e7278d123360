#include "server/Seats.h"

#include "server/User.h"
#include "server/accounts/Names.h"

#include <algorithm>

namespace wordmoot::server {

Seats::Seats(std::function<void()> graceEnds) {
    graceTimer_.setSingleShot(true);
    QObject::connect(&graceTimer_, &QTimer::timeout, std::move(graceEnds));
}

void Seats::begin(const std::vector<User*>& players) {
    seats_.clear();
    for (User* u : players)
        seats_.push_back({u, u->address, u->identified, u->identified ? u->name : QByteArray(), {}});
    armGrace();
}

void Seats::restore(std::vector<SeatRecord> seats) {
    seats_ = std::move(seats);
    armGrace();
}

int Seats::of(const User& u) const {
    const auto at = std::find_if(seats_.begin(), seats_.end(),
                                 [&](const SeatRecord& s) { return s.holder == &u; });
    return at == seats_.end() ? -1 : int(at - seats_.begin());
}

User* Seats::holder(int seat) const {
    return seat >= 0 && seat < size() ? seats_[seat].holder : nullptr;
}

void Seats::hold(int seat, User& u) {
    SeatRecord& s = seats_[seat];
    s.holder = &u;
    s.address = u.address;
    s.identified = u.identified;
}

void Seats::release(const User* u) {
    for (SeatRecord& s : seats_)
        if (s.holder == u)
            s.holder = nullptr;
}

int Seats::firstFree() const {
    for (int seat = 0; seat < size(); ++seat)
        if (!seats_[seat].holder && !isAway(seat))
            return seat;
    return -1;
}

bool Seats::anyAway() const {
    return std::any_of(seats_.begin(), seats_.end(), [](const SeatRecord& s) { return s.away; });
}

void Seats::keep(int seat, qint64 ms) {
    seats_[seat].holder = nullptr;
    seats_[seat].away = QDeadlineTimer(ms);
    armGrace();
}

void Seats::back(int seat, User& u) {
    seats_[seat].away.reset();
    seats_[seat].holder = &u;
    armGrace();
}

std::vector<int> Seats::expire() {
    std::vector<int> expired;
    for (int seat = 0; seat < size(); ++seat) {
        std::optional<QDeadlineTimer>& away = seats_[seat].away;
        if (away && away->hasExpired()) {
            away.reset();
            expired.push_back(seat);
        }
    }
    armGrace();
    return expired;
}

void Seats::stopWaiting() {
    for (SeatRecord& s : seats_)
        s.away.reset();
    graceTimer_.stop();
}

int Seats::keptFor(const User& u, const std::vector<QByteArray>& names) const {
    for (int seat = 0; seat < size(); ++seat) {
        const SeatRecord& s = seats_[seat];
        if (s.away && accounts::folded(names[seat]) == accounts::folded(u.name) &&
            (s.identified ? u.identified : !u.address.isEmpty() && u.address == s.address))
            return seat;
    }
    return -1;
}

bool Seats::mayTakeName(const User& u, const QByteArray& name,
                        const std::vector<QByteArray>& names) const {
    for (int seat = 0; seat < size(); ++seat) {
        const SeatRecord& s = seats_[seat];
        if (!s.away)
            continue;
        if (accounts::folded(names[seat]) == accounts::folded(name))
            return s.identified || u.address == s.address;
        if (accounts::lookAlike(names[seat], name))
            return false; // only the seat's own name takes it back
    }
    return true;
}

void Seats::armGrace() {
    std::optional<QDeadlineTimer> first;
    for (const SeatRecord& s : seats_)
        if (s.away && (!first || s.away->deadline() < first->deadline()))
            first = s.away;
    if (!first)
        return graceTimer_.stop();
    graceTimer_.start(int(std::clamp<qint64>(first->remainingTime(), 0, 86400000)));
}

} // namespace wordmoot::server
