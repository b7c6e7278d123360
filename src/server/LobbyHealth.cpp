// What the server's operator asks of its health: STATS.
#include "server/accounts/Names.h"
#include "shared/protocol/ReplyCode.h"
#include "server/Journal.h"
#include "server/Lobby.h"
#include "server/Room.h"
#include "server/User.h"

#include <algorithm>
#include <numeric>

namespace wordmoot::server {

namespace {
QByteArray counted(int count, const char* one, const char* many) {
    return QByteArray::number(count) + ' ' + (count == 1 ? one : many);
}

QByteArray milliseconds(qint64 microseconds) {
    return QByteArray::number(double(microseconds) / 1000.0, 'f', 2) + " ms";
}
} // namespace

// Lines are counted by the second they came in, over the last minute.
// The second now, its count and those of the seconds since the last line
// cleared: what they held is over a minute old.
std::size_t Lobby::lineSecondNow() {
    const qint64 second = upSince_.elapsed() / 1000;
    for (qint64 s = std::max(lineSecond_ + 1, second - 59); s <= second; ++s)
        linesPerSecond_[std::size_t(s % 60)] = 0;
    lineSecond_ = std::max(lineSecond_, second);
    return std::size_t(second % 60);
}

void Lobby::countLine() {
    ++linesPerSecond_[lineSecondNow()];
}

int Lobby::linesLastMinute() {
    lineSecondNow();
    return std::accumulate(linesPerSecond_.begin(), linesPerSecond_.end(), 0);
}

void Lobby::stats(User& u, const QByteArray&) {
    if (options_.operatorName.isEmpty() || !u.identified ||
        accounts::folded(u.name) != accounts::folded(options_.operatorName))
        return u.send(ReplyCode::Notice, "STATS is for the server's operator");
    const int inPlay = int(std::count_if(rooms_.begin(), rooms_.end(), [](const auto& room) {
        return room.second->phase() == Room::Phase::Playing;
    }));
    const int named = int(std::count_if(users_.begin(), users_.end(),
                                        [](const User* x) { return !x->name.isEmpty(); }));
    const Journal::Latency store = journal_->latency();
    const QByteArrayList lines{
        "Stats: up " + QByteArray::number(upSince_.elapsed() / 1000) + " seconds",
        "Stats: " + counted(int(users_.size()), "connection", "connections") + ", " +
            QByteArray::number(named) + " with a name",
        "Stats: " + counted(int(rooms_.size()), "room", "rooms") + ", " +
            counted(inPlay, "game in play", "games in play") + ", " +
            counted(thinkPool_->asked(), "robot think", "robot thinks") + " so far",
        "Stats: " + QByteArray::number(double(linesLastMinute()) / 60.0, 'f', 1) +
            " lines a second over the last minute",
        "Stats: store writes took " + milliseconds(store.last) + " last, " +
            milliseconds(store.mean) + " on average and " + milliseconds(store.most) +
            " at most, of the last " + QByteArray::number(store.count),
    };
    for (const QByteArray& line : lines)
        u.send(ReplyCode::Notice, line);
}

} // namespace wordmoot::server
