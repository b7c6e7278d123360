// The clock, when the server has one: --turn-seconds gives each turn its
// time, with a warning to the player at 30 and 10 seconds left (those that
// fit), and passes for a player whose time is up; three such turns in a row
// and the seat counts as left. --game-minutes gives each player time for the
// whole game, and each minute begun over it costs 10 points at the end. A
// clock runs only for the seat on turn, while no play waits for the vote and
// its player is there.
#include "shared/protocol/ReplyCode.h"
#include "server/EventLog.h"
#include "server/Lobby.h"
#include "server/Room.h"
#include "server/User.h"

#include <algorithm>

namespace wordmoot::server {

namespace {
constexpr qint64 kWarnings[] = {30000, 10000};
constexpr int kTimeoutsToLeave = 3;

// "24:13", "-1:20".
QByteArray minutesText(qint64 ms) {
    const qint64 seconds = (std::abs(ms) + 999) / 1000;
    const QByteArray text =
        QByteArray::number(seconds / 60) + ':' + QByteArray::number(seconds % 60).rightJustified(2, '0');
    return ms < 0 ? '-' + text : text;
}
} // namespace

bool Room::hasClock() const {
    return lobby_.options().turnSeconds > 0 || lobby_.options().gameMinutes > 0;
}

qint64 Room::clockLeftMs(int seat) const {
    const auto& options = lobby_.options();
    const qint64 running = seat == clockSeat_ ? clockSince_.elapsed() : 0;
    if (options.turnSeconds > 0)
        return seat == game_->turn() ? options.turnSeconds * 1000LL - turnUsedMs_ - running
                                     : options.turnSeconds * 1000LL;
    return options.gameMinutes * 60000LL - keep_[seat].usedMs - running;
}

std::vector<QByteArray> Room::chargeClock(const GameInput& input) {
    if (!hasClock() || phase_ != Phase::Playing)
        return {};
    chargeRunning();
    using Kind = GameInput::Kind;
    const bool endsTurn = (input.kind == Kind::Play || input.kind == Kind::Exchange ||
                           input.kind == Kind::Pass) &&
                          input.seat == game_->turn() && !game_->pending();
    if (!endsTurn)
        return {};
    Keep& k = keep_[input.seat];
    if (!timingOut_)
        k.timeouts = 0;
    std::vector<QByteArray> lines;
    if (const int minutes = lobby_.options().gameMinutes; minutes > 0) {
        const int penalty = overtimePenalty(k.usedMs - minutes * 60000LL);
        if (penalty != game_->timePenalty(input.seat)) {
            const GameInput charged{Kind::TimePenalty, input.seat, {}, {}, penalty};
            apply(*game_, charged);
            lines.push_back(QByteArray::fromStdString(inputText(charged)));
            logEvent("penalty", field("seat", input.seat) + ' ' + field("player", nameOf(input.seat)) +
                                    ' ' + field("points", penalty));
        }
    }
    lines.push_back("clock " + QByteArray::number(input.seat) + ' ' +
                    QByteArray::number(k.usedMs) + ' ' + QByteArray::number(k.timeouts));
    return lines;
}

void Room::chargeRunning() {
    if (clockSeat_ < 0)
        return;
    const qint64 ms = clockSince_.restart();
    turnUsedMs_ += ms;
    keep_[clockSeat_].usedMs += ms;
}

void Room::updateClock() {
    if (!hasClock())
        return;
    chargeRunning();
    clockTimer_.stop();
    clockSeat_ = -1;
    if (phase_ != Phase::Playing)
        return;
    if (game_->turnNumber() != clockTurn_) {
        clockTurn_ = game_->turnNumber();
        turnUsedMs_ = 0;
        warnedAt_ = 0;
    }
    const int turn = game_->turn();
    if (turn < 0 || game_->pending() || !game_->seats()[turn].present || !holders_[turn])
        return;
    clockSeat_ = turn;
    clockSince_.start();
    const qint64 left = clockLeftMs(turn);
    ringsFor_ = 0;
    if (lobby_.options().turnSeconds > 0)
        for (const qint64 warning : kWarnings)
            if (warning < lobby_.options().turnSeconds * 1000LL && left > warning &&
                (warnedAt_ == 0 || warning < warnedAt_)) {
                ringsFor_ = int(warning);
                break;
            }
    if (ringsFor_ == 0 && left <= 0)
        return; // over the game's clock: nothing more to ring for
    clockTimer_.start(int(std::clamp<qint64>(left - ringsFor_, 0, 86400000)));
}

void Room::clockRings() {
    const int seat = clockSeat_;
    if (seat < 0 || phase_ != Phase::Playing)
        return;
    if (clockLeftMs(seat) > ringsFor_)
        return updateClock(); // rang early: not yet
    if (ringsFor_ > 0) {
        warnedAt_ = ringsFor_;
        toSeat(seat, ReplyCode::Notice,
               QByteArray::number(ringsFor_ / 1000) + " seconds left for your turn");
        return updateClock();
    }
    if (lobby_.options().gameMinutes > 0) {
        toAll(ReplyCode::Notice, nameOf(seat) + "'s time is up: each minute begun over it costs " +
                                     QByteArray::number(overtimePenalty(1)) + " points");
        return updateClock();
    }
    const QByteArray name = nameOf(seat);
    const int timeouts = ++keep_[seat].timeouts;
    toAll(ReplyCode::Notice, name + "'s time is up: the turn passes");
    logEvent("timeout", field("seat", seat) + ' ' + field("player", name));
    timingOut_ = true;
    act({GameInput::Kind::Pass, seat});
    timingOut_ = false;
    if (timeouts < kTimeoutsToLeave || phase_ != Phase::Playing)
        return;
    toAll(ReplyCode::Notice, name + "'s time ran out three turns running: the seat counts as left");
    if (User* holder = holders_[seat]) {
        declined_.insert(holder);
        tellRole(*holder, ReplyCode::BecameObserver);
    }
    seatLost(seat);
}

QByteArray Room::clockText() const {
    if (!hasClock() || phase_ != Phase::Playing)
        return {};
    const int turn = game_->turn();
    const QByteArray stopped = clockSeat_ < 0 ? " (stopped)" : "";
    if (lobby_.options().turnSeconds > 0)
        return "Time left: " + QByteArray::number((std::max<qint64>(clockLeftMs(turn), 0) + 999) / 1000) +
               " seconds for " + nameOf(turn) + "'s turn" + stopped;
    QByteArray text = "Time left:";
    for (int seat = 0; seat < int(keep_.size()); ++seat)
        text += (seat ? ", " : " ") + nameOf(seat) + ' ' + minutesText(clockLeftMs(seat));
    return text + stopped;
}

} // namespace wordmoot::server
