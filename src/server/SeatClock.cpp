#include "server/SeatClock.h"

#include <algorithm>

namespace wordmoot::server {

namespace {
constexpr qint64 kWarnings[] = {30000, 10000};

// "24:13", "-1:20".
QByteArray minutesText(qint64 ms) {
    const qint64 seconds = (std::abs(ms) + 999) / 1000;
    const QByteArray text = QByteArray::number(seconds / 60) + ':' +
                            QByteArray::number(seconds % 60).rightJustified(2, '0');
    return ms < 0 ? '-' + text : text;
}
} // namespace

SeatClock::SeatClock(int turnSeconds, int gameMinutes, Rings rings)
    : turnSeconds_(turnSeconds)
    , gameMinutes_(gameMinutes)
    , rings_(std::move(rings)) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer); // a warning on the second
    QObject::connect(&timer_, &QTimer::timeout, [this] { this->rings(); });
}

void SeatClock::begin(int seats) {
    seats_.assign(seats, {});
    turnUsedMs_ = 0;
}

void SeatClock::restore(int seat, qint64 usedMs, int timeouts) {
    seats_[seat] = {usedMs, timeouts};
}

qint64 SeatClock::leftMs(int seat) const {
    const qint64 running = seat == seat_ ? since_.elapsed() : 0;
    if (turnSeconds_ > 0)
        return seat == turn_.seat ? turnSeconds_ * 1000LL - turnUsedMs_ - running
                                  : turnSeconds_ * 1000LL;
    return gameMinutes_ * 60000LL - seats_[seat].usedMs - running;
}

void SeatClock::chargeRunning() {
    if (seat_ < 0)
        return;
    const qint64 ms = since_.restart();
    turnUsedMs_ += ms;
    seats_[seat_].usedMs += ms;
}

void SeatClock::moved(int seat) {
    if (!timingOut_)
        seats_[seat].timeouts = 0;
}

void SeatClock::stop() {
    timer_.stop();
    seat_ = -1;
}

void SeatClock::update(std::optional<Turn> turn) {
    if (!exists())
        return;
    chargeRunning();
    stop();
    if (!turn)
        return;
    if (turn->number != turn_.number) {
        turnUsedMs_ = 0;
        warnedAt_ = 0;
    }
    turn_ = *turn;
    if (turn_.seat < 0 || !turn_.runs)
        return;
    seat_ = turn_.seat;
    since_.start();
    const qint64 left = leftMs(seat_);
    ringsFor_ = 0;
    if (turnSeconds_ > 0)
        for (const qint64 warning : kWarnings)
            if (warning < turnSeconds_ * 1000LL && left > warning &&
                (warnedAt_ == 0 || warning < warnedAt_)) {
                ringsFor_ = int(warning);
                break;
            }
    if (ringsFor_ == 0 && left <= 0)
        return; // over the game's clock: nothing more to ring for
    timer_.start(int(std::clamp<qint64>(left - ringsFor_, 0, 86400000)));
}

void SeatClock::rings() {
    const int seat = seat_;
    if (seat < 0)
        return;
    if (leftMs(seat) > ringsFor_)
        return update(turn_); // rang early: not yet
    if (ringsFor_ > 0) {
        warnedAt_ = ringsFor_;
        rings_(seat, Ring::Warning, ringsFor_);
        return update(turn_);
    }
    if (gameMinutes_ > 0) {
        rings_(seat, Ring::GameTimeUp, 0);
        return update(turn_);
    }
    ++seats_[seat].timeouts;
    timingOut_ = true;
    rings_(seat, Ring::TurnTimeUp, 0);
    timingOut_ = false;
}

QByteArray SeatClock::text(const std::vector<QByteArray>& names) const {
    const QByteArray stopped = seat_ < 0 ? " (stopped)" : "";
    if (turnSeconds_ > 0)
        return "Time left: " +
               QByteArray::number((std::max<qint64>(leftMs(turn_.seat), 0) + 999) / 1000) +
               " seconds for " + names[turn_.seat] + "'s turn" + stopped;
    QByteArray text = "Time left:";
    for (int seat = 0; seat < int(seats_.size()); ++seat)
        text += (seat ? ", " : " ") + names[seat] + ' ' + minutesText(leftMs(seat));
    return text + stopped;
}

} // namespace wordmoot::server
