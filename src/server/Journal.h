#pragma once

#include "server/store/StoreThread.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <memory>
#include <vector>

namespace wordmoot::server {

// The journals of the games in play, kept in the store as they go. Each
// write has a ticket, and kept(upTo) says when it and every write before it
// are kept, so that a room tells nobody of a move a crash could still lose
// (see Outbox). Writes are kept in the order they are made; those made while
// one is on its way go together in the next transaction, so a busy server
// waits for the disk once for many moves.
//
// A transaction the store refuses is tried again, whole, after a wait that
// doubles up to kLongestWaitMs, until the store keeps it; the writes made
// meanwhile wait behind it. So a journal never has a gap, a line twice, or a
// line applied to a position it was not made on. A failure, or a store that has not answered for kSlowMs,
// is said with stalled() once; resumed() follows when the store keeps again.
class Journal : public QObject {
    Q_OBJECT
public:
    static constexpr int kSlowMs = 2000;
    static constexpr int kFirstWaitMs = 250;
    static constexpr int kLongestWaitMs = 8000;

    explicit Journal(store::StoreThread& store, QObject* parent = nullptr);

    // The next write's ticket: what a room says from now on waits for it.
    // Each open() is followed by one write(), begin() or skip() before the next.
    quint64 open();
    void write(const store::LiveKey& key, int from, std::vector<QByteArray> lines);
    void begin(const store::LiveKey& key, std::vector<QByteArray> lines);
    // The write opened has nothing to keep; what waits for it goes once the
    // writes before it are kept.
    void skip();
    // What a job leaves to do on the server's thread once it and the writes
    // before it are kept (empty for nothing); nullopt when the store could
    // not do the job, which is then tried again.
    using Then = std::optional<std::function<void()>>;
    // A store job that must follow the writes made so far, as keeping a
    // finished game follows its journal: it runs once they are kept, in their
    // turn, and is tried again until done. A job is all or nothing.
    void then(std::function<Then(store::Store&)> job);
    // Sends what waits to the store, kept or not: the server is stopping,
    // and the store's last jobs run before it closes.
    void close();

    // Every write up to this ticket is kept.
    quint64 keptUpTo() const { return kept_; }
    // Why the store holds the journal up now; empty while it keeps.
    const QString& trouble() const { return trouble_; }
    // How long the last transactions took to be kept, in microseconds.
    struct Latency {
        qint64 last = 0;
        qint64 mean = 0;
        qint64 most = 0;
        int count = 0;
    };
    Latency latency() const;

signals:
    // Every write up to this one is kept.
    void kept(quint64 upTo);
    // The store refused a write or has not answered it for a while.
    void stalled(const QString& why);
    // The store keeps the journal again, after a stall.
    void resumed();

private:
    using Jobs = std::vector<std::function<Then(store::Store&)>>;
    // What one transaction writes and what follows it.
    struct Batch {
        std::vector<store::LiveWrite> writes;
        Jobs jobs;
        quint64 ticket = 0; // every write up to it is in this batch or kept
    };
    // What the store made of a batch: its writes kept, its first jobs done.
    struct Outcome {
        QString why; // empty when all of it is done
        bool written = false;
        std::size_t jobsDone = 0;
        std::vector<std::function<void()>> then;
    };
    void flush();
    void send();
    void answered(Outcome outcome);
    void stall(const QString& why);
    void keep(quint64 ticket);
    void logFailure(const QString& why) const;

    store::StoreThread& store_;
    quint64 opened_ = 0;
    quint64 kept_ = 0;
    Batch waiting_;                      // made since the batch on its way
    std::optional<Batch> sent_;          // on its way, or refused and to be sent again
    std::vector<std::function<void()>> done_; // of its jobs done, once it is all kept
    QTimer retry_;                       // when a refused batch goes again
    int waitMs_ = kFirstWaitMs;          // before the next try
    QTimer slow_;                        // no answer for kSlowMs
    QElapsedTimer since_;                // since the batch on its way was sent
    QString trouble_;
    std::deque<qint64> took_; // the last transactions' times, in microseconds
};

} // namespace wordmoot::server
