#include "robot/ThinkPool.h"

#include <sys/resource.h>
#include <unistd.h>

namespace wordmoot::robot {

namespace {
// On Linux each thread has a nice value of its own, and the pool's threads
// only ever think: a think gives way to the thread that answers users when
// the cores are busy.
void yieldToUsers() {
    constexpr int kNiceness = 10;
    thread_local bool lowered = false;
    if (!std::exchange(lowered, true))
        ::setpriority(PRIO_PROCESS, id_t(::gettid()), kNiceness); // where it may not, as it was
}
} // namespace

ThinkPool::ThinkPool(const Brain& brain)
    : brain_(brain) {}

ThinkPool::~ThinkPool() {
    stopping_ = true;
    threads_.waitForDone();
}

void ThinkPool::think(ThinkRequest request, QObject* context,
                      std::function<void(const Move&)> answer) {
    ++asked_;
    request.stop = &stopping_;
    threads_.start([this, request = std::move(request), context, answer = std::move(answer)] {
        yieldToUsers();
        Move move = robot::think(brain_, request);
        QMetaObject::invokeMethod(context, [answer, move = std::move(move)] { answer(move); },
                                  Qt::QueuedConnection);
    });
}

} // namespace wordmoot::robot
