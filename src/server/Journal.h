#pragma once

#include "store/StoreThread.h"

#include <QElapsedTimer>
#include <QObject>

#include <deque>
#include <vector>

namespace wordmoot::server {

// The journals of the games in play, kept in the store as they go, and a
// gate on what the server says meanwhile: a line sent while a journal write
// is on its way waits until the write is kept, so no client hears of a move
// that a crash could still lose. Writes are kept in the order they are made;
// those made while one is on its way go together in the next transaction,
// so a busy server waits for the disk once for many moves.
class Journal : public QObject {
    Q_OBJECT
public:
    explicit Journal(store::StoreThread& store, QObject* parent = nullptr);

    // Opens the gate's next write: what is sent from now on waits for it.
    // Each open() is followed by one write(), begin() or skip() before the next.
    void open();
    void write(const store::LiveKey& key, int from, std::vector<QByteArray> lines);
    void begin(const store::LiveKey& key, std::vector<QByteArray> lines);
    // The write opened has nothing to keep; what waits for it goes once the
    // writes before it are kept.
    void skip();
    // A store job that must follow the writes made so far, as keeping a
    // finished game follows its journal: it goes in their transaction's turn.
    void then(std::function<void(store::Store&)> job);
    // Sends what waits to the store, answered or not: the server is stopping,
    // and the store's last jobs run before it closes.
    void close();

    // The write a line sent now waits for; 0 when it waits for none.
    quint64 holding() const { return opened_ > kept_ ? opened_ : 0; }
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

private:
    void flush();
    void keep(quint64 ticket);

    store::StoreThread& store_;
    quint64 opened_ = 0;
    quint64 kept_ = 0;
    quint64 waiting_ = 0; // the last write of the batch not yet sent
    bool sending_ = false;
    std::vector<store::LiveWrite> batch_;
    std::vector<std::function<void(store::Store&)>> jobs_; // after the batch
    std::deque<qint64> took_; // the last transactions' times, in microseconds
};

} // namespace wordmoot::server
