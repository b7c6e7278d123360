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
// that a crash could still lose. Writes are kept in the order they are made.
class Journal : public QObject {
    Q_OBJECT
public:
    explicit Journal(store::StoreThread& store, QObject* parent = nullptr);

    // Opens the gate's next write: what is sent from now on waits for it.
    // Each open() is followed by one write() or skip() before the next.
    void open();
    void write(const store::LiveKey& key, int from, std::vector<QByteArray> lines);
    void begin(const store::LiveKey& key, std::vector<QByteArray> lines);
    // The write opened has nothing to keep; what waits for it goes once the
    // writes before it are kept.
    void skip();

    // The write a line sent now waits for; 0 when it waits for none.
    quint64 holding() const { return opened_ > kept_ ? opened_ : 0; }
    // How long the last writes took to be kept, in microseconds.
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
    void queue(std::function<void(store::Store&)> job);

    store::StoreThread& store_;
    quint64 opened_ = 0;
    quint64 kept_ = 0;
    std::deque<qint64> took_; // the last writes' times, in microseconds
};

} // namespace wordmoot::server
