#pragma once

#include <QByteArray>
#include <QHash>

#include <deque>

namespace wordmoot::accounts {

// Failures counted per key (a name, an address) over a sliding window: a key
// with `most` failures within the last `windowMs` is held until the oldest
// of them is out of the window. Times are milliseconds on any steady clock.
// Memory stays bounded: a key keeps at most `most` times, and the keys whose
// failures are all out of the window go once there are many.
class Throttle {
public:
    static constexpr int kManyKeys = 10000;

    Throttle(int most, qint64 windowMs)
        : most_(most)
        , windowMs_(windowMs) {}

    bool held(const QByteArray& key, qint64 now) {
        auto at = failures_.find(key);
        if (at == failures_.end())
            return false;
        forget(*at, now);
        return int(at->size()) >= most_;
    }

    void failed(const QByteArray& key, qint64 now) {
        if (failures_.size() >= kManyKeys && !failures_.contains(key))
            sweep(now);
        std::deque<qint64>& times = failures_[key];
        forget(times, now);
        times.push_back(now);
        while (int(times.size()) > most_)
            times.pop_front();
    }

    qsizetype keys() const { return failures_.size(); }

private:
    void forget(std::deque<qint64>& times, qint64 now) const {
        while (!times.empty() && times.front() <= now - windowMs_)
            times.pop_front();
    }
    // Keys with nothing in the window go; if every key is busy, all go
    // rather than memory growing.
    void sweep(qint64 now) {
        for (auto at = failures_.begin(); at != failures_.end();) {
            forget(*at, now);
            at = at->empty() ? failures_.erase(at) : std::next(at);
        }
        if (failures_.size() >= kManyKeys)
            failures_.clear();
    }

    const int most_;
    const qint64 windowMs_;
    QHash<QByteArray, std::deque<qint64>> failures_;
};

} // namespace wordmoot::accounts
