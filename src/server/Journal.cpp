#include "server/Journal.h"

#include "server/EventLog.h"

#include <algorithm>
#include <numeric>

namespace wordmoot::server {

namespace {
constexpr std::size_t kTimesKept = 256;

// "main:1,main:3": the games a batch writes to.
QByteArray gamesOf(const std::vector<store::LiveWrite>& writes) {
    QByteArrayList games;
    for (const store::LiveWrite& w : writes) {
        const QByteArray game = w.key.hall + ':' + QByteArray::number(w.key.number);
        if (!games.contains(game))
            games.push_back(game);
    }
    return games.join(',');
}
} // namespace

Journal::Journal(store::StoreThread& store, QObject* parent)
    : QObject(parent)
    , store_(store) {
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &Journal::send);
    slow_.setSingleShot(true);
    slow_.setInterval(kSlowMs);
    connect(&slow_, &QTimer::timeout, this, [this] {
        stall(QStringLiteral("the store has not answered for %1 s").arg(kSlowMs / 1000));
    });
}

quint64 Journal::open() {
    return ++opened_;
}

void Journal::write(const store::LiveKey& key, int from, std::vector<QByteArray> lines) {
    waiting_.writes.push_back({key, from, std::move(lines), false});
    flush();
}

void Journal::begin(const store::LiveKey& key, std::vector<QByteArray> lines) {
    waiting_.writes.push_back({key, 0, std::move(lines), true});
    flush();
}

void Journal::skip() {
    flush();
}

void Journal::then(std::function<Then(store::Store&)> job) {
    waiting_.jobs.push_back(std::move(job));
    flush();
}

// One transaction at a time: what comes meanwhile waits for the next, and
// so does everything while a refused one waits to go again. With nothing to
// write and nothing on its way, what waits goes at once.
void Journal::flush() {
    waiting_.ticket = opened_;
    if (sent_)
        return;
    if (waiting_.writes.empty() && waiting_.jobs.empty())
        return keep(waiting_.ticket);
    sent_ = std::exchange(waiting_, {});
    send();
}

// The jobs run only once the writes are kept, in order, up to one the store
// cannot do: what is not done goes again, and only that.
void Journal::send() {
    since_.start();
    slow_.start();
    store_.ask<Outcome>(
        this,
        [batch = std::make_shared<const Batch>(*sent_)](store::Store& store) {
            Outcome done;
            done.written = batch->writes.empty() || store.writeLive(batch->writes);
            for (const auto& job : batch->jobs) {
                if (!done.written)
                    break;
                Then then = job(store);
                if (!then)
                    break;
                ++done.jobsDone;
                if (*then)
                    done.then.push_back(std::move(*then));
            }
            if (!done.written || done.jobsDone < batch->jobs.size()) {
                done.why = store.lastError();
                if (done.why.isEmpty())
                    done.why = QStringLiteral("the store refused the write");
            }
            return done;
        },
        [this](Outcome outcome) { answered(std::move(outcome)); });
}

void Journal::answered(Outcome outcome) {
    slow_.stop();
    if (outcome.written)
        sent_->writes.clear();
    sent_->jobs.erase(sent_->jobs.begin(),
                      sent_->jobs.begin() + std::ptrdiff_t(outcome.jobsDone));
    for (auto& then : outcome.then)
        done_.push_back(std::move(then));
    if (!outcome.why.isEmpty()) {
        logFailure(outcome.why);
        stall(outcome.why);
        retry_.start(waitMs_);
        waitMs_ = std::min(2 * waitMs_, kLongestWaitMs);
        return;
    }
    took_.push_back(since_.nsecsElapsed() / 1000);
    if (took_.size() > kTimesKept)
        took_.pop_front();
    const quint64 ticket = sent_->ticket;
    sent_.reset();
    waitMs_ = kFirstWaitMs;
    if (!trouble_.isEmpty()) {
        trouble_.clear();
        logLine(field("event", "store-back") + ' ' + field("operation", "journal"));
        emit resumed();
    }
    keep(ticket);
    for (const auto& then : std::exchange(done_, {}))
        then();
    flush();
}

void Journal::stall(const QString& why) {
    const bool first = trouble_.isEmpty();
    trouble_ = why;
    if (first)
        emit stalled(why);
}

void Journal::logFailure(const QString& why) const {
    const bool writing = !sent_->writes.empty();
    logLine(field("event", "store-failed") + ' ' +
            field("operation", writing ? "journal" : "keep-finished-game") + ' ' +
            (writing ? field("games", gamesOf(sent_->writes)) + ' ' : QByteArray()) +
            field("reason", why.toUtf8()) + ' ' + field("retry-ms", waitMs_));
}

void Journal::close() {
    for (const Batch* batch : {sent_ ? &*sent_ : nullptr, &waiting_}) {
        if (!batch || (batch->writes.empty() && batch->jobs.empty()))
            continue;
        store_.run([writes = batch->writes, jobs = batch->jobs](store::Store& store) {
            if (writes.empty() || store.writeLive(writes))
                for (const auto& job : jobs)
                    if (!job(store))
                        return;
        });
    }
    sent_.reset();
    waiting_ = {};
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
