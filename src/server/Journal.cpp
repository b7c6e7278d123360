#include "server/Journal.h"

#include <algorithm>
#include <numeric>

namespace wordmoot::server {

namespace {
constexpr std::size_t kTimesKept = 256;
}

Journal::Journal(store::StoreThread& store, QObject* parent)
    : QObject(parent)
    , store_(store) {}

void Journal::open() {
    ++opened_;
}

void Journal::write(const store::LiveKey& key, int from, std::vector<QByteArray> lines) {
    batch_.push_back({key, from, std::move(lines), false});
    flush();
}

void Journal::begin(const store::LiveKey& key, std::vector<QByteArray> lines) {
    batch_.push_back({key, 0, std::move(lines), true});
    flush();
}

void Journal::skip() {
    flush();
}

void Journal::then(std::function<void(store::Store&)> job) {
    jobs_.push_back(std::move(job));
    flush();
}

namespace {
// The batch's writes in one transaction, then the jobs that follow them.
std::function<void(store::Store&)> batchJob(std::vector<store::LiveWrite> writes,
                                            std::vector<std::function<void(store::Store&)>> jobs) {
    return [writes = std::move(writes), jobs = std::move(jobs)](store::Store& store) {
        if (!writes.empty() && !store.writeLive(writes))
            qWarning("cannot keep the journal of %d games in play", int(writes.size()));
        for (const auto& job : jobs)
            job(store);
    };
}
} // namespace

// One transaction at a time: what comes meanwhile waits for the next. With
// nothing to write and nothing on its way, what waits goes at once.
void Journal::flush() {
    waiting_ = opened_;
    if (sending_)
        return;
    if (batch_.empty() && jobs_.empty())
        return keep(waiting_);
    sending_ = true;
    const quint64 ticket = waiting_;
    QElapsedTimer since;
    since.start();
    // The answer comes back whether it wrote or not: a store that cannot
    // write holds nobody up for ever.
    store_.ask<bool>(
        this,
        [job = batchJob(std::exchange(batch_, {}), std::exchange(jobs_, {}))](store::Store& store) {
            job(store);
            return true;
        },
        [this, ticket, since](bool) {
            took_.push_back(since.nsecsElapsed() / 1000);
            if (took_.size() > kTimesKept)
                took_.pop_front();
            sending_ = false;
            keep(ticket);
            if (waiting_ > kept_)
                flush();
        });
}

void Journal::close() {
    if (!batch_.empty() || !jobs_.empty())
        store_.run(batchJob(std::exchange(batch_, {}), std::exchange(jobs_, {})));
}

void Journal::keep(quint64 ticket) {
    kept_ = std::max(kept_, ticket);
    emit kept(kept_);
}

Journal::Latency Journal::latency() const {
    if (took_.empty())
        return {};
    return {took_.back(),
            std::accumulate(took_.begin(), took_.end(), qint64(0)) / qint64(took_.size()),
            *std::max_element(took_.begin(), took_.end()), int(took_.size())};
}

} // namespace wordmoot::server
