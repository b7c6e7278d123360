#pragma once

#include "robot/Brain.h"
#include "robot/Choice.h"

#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <functional>

namespace wordmoot::robot {

// Where robots think: worker threads a little below the thread that answers
// users, so that no think holds the users up, with a stop flag every think
// reads. A think owns what it reads (ThinkRequest); its move comes back on
// the thread of the context it was asked with, if the context is still
// there then, and whoever asked decides whether it still applies.
class ThinkPool {
public:
    explicit ThinkPool(const Brain& brain);
    // Stops every think, which answers at once, and waits for them.
    ~ThinkPool();

    void think(ThinkRequest request, QObject* context, std::function<void(const Move&)> answer);
    // How many thinks have been asked for so far.
    int asked() const { return asked_; }
    // The threads: a test may hold them up.
    QThreadPool& threads() { return threads_; }

private:
    const Brain& brain_;
    std::atomic<bool> stopping_{false};
    int asked_ = 0;
    QThreadPool threads_; // last, so that it goes first
};

} // namespace wordmoot::robot
