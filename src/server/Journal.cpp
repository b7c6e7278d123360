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
    queue([key, from, lines = std::move(lines)](store::Store& store) {
        if (!store.addLive(key, from, lines))
            qWarning("cannot keep the journal of game %d", key.number);
    });
}

void Journal::begin(const store::LiveKey& key, std::vector<QByteArray> lines) {
    queue([key, lines = std::move(lines)](store::Store& store) {
        if (!store.beginLive(key, lines))
            qWarning("cannot begin the journal of game %d", key.number);
    });
}

void Journal::skip() {
    queue({});
}

// The answer comes back once the job is done, whether it wrote or not: a
// store that cannot write holds nobody up for ever.
void Journal::queue(std::function<void(store::Store&)> job) {
    const quint64 ticket = opened_;
    QElapsedTimer since;
    since.start();
    store_.ask<bool>(
        this,
        [job = std::move(job)](store::Store& store) {
            if (job)
                job(store);
            return true;
        },
        [this, ticket, since](bool) {
            took_.push_back(since.nsecsElapsed() / 1000);
            if (took_.size() > kTimesKept)
                took_.pop_front();
            kept_ = std::max(kept_, ticket);
            emit kept(kept_);
        });
}

Journal::Latency Journal::latency() const {
    if (took_.empty())
        return {};
    return {took_.back(),
            std::accumulate(took_.begin(), took_.end(), qint64(0)) / qint64(took_.size()),
            *std::max_element(took_.begin(), took_.end()), int(took_.size())};
}

} // namespace wordmoot::server
