#pragma once

#include <QDeadlineTimer>
#include <QtGlobal>

#include <algorithm>

namespace wordmoot::server {

// How fast one client may send, as chat servers hold back floods: a bucket
// of `burst` lines that fills again at `perSecond` lines a second. A line
// costs some lines' worth (one that many hear costs more, a move on one's
// turn nothing); a line that finds too little in the bucket waits until it
// has filled that far. No rate means no limit.
class Allowance {
public:
    Allowance() = default;
    Allowance(double burst, double perSecond)
        : burst_(burst)
        , perMs_(perSecond / 1000)
        , left_(burst) {}

    // Milliseconds on the steady clock that every allowance is read by, so
    // that one can go from a connection to the next.
    static qint64 now() { return QDeadlineTimer::current().deadline(); }

    bool isLimited() const { return perMs_ > 0; }
    // Whether it has filled again by `nowMs`: as good as a new one.
    bool isFullAt(qint64 nowMs) const {
        return !isLimited() || left_ + double(nowMs - since_) * perMs_ >= burst_;
    }
    // 0 when the line may go at `nowMs` (and it is charged), else how many
    // milliseconds until it may. A line never costs more than the burst.
    qint64 take(double cost, qint64 nowMs) {
        if (!isLimited())
            return 0;
        cost = std::min(cost, burst_);
        left_ = std::min(burst_, left_ + double(nowMs - since_) * perMs_);
        since_ = nowMs;
        if (left_ >= cost) {
            left_ -= cost;
            return 0;
        }
        return std::max<qint64>(1, qint64((cost - left_) / perMs_ + 0.999));
    }

private:
    double burst_ = 0;
    double perMs_ = 0;
    double left_ = 0;
    qint64 since_ = 0;
};

} // namespace wordmoot::server
