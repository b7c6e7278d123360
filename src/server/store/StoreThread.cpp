#include "server/store/StoreThread.h"

#include "server/store/SqlStore.h"

namespace wordmoot::store {

std::unique_ptr<StoreThread> StoreThread::open(const QString& where, QString& error) {
    std::unique_ptr<StoreThread> opened(new StoreThread);
    opened->thread_.setObjectName("store");
    opened->worker_ = new QObject;
    opened->worker_->moveToThread(&opened->thread_);
    QObject::connect(&opened->thread_, &QThread::finished, opened->worker_, &QObject::deleteLater);
    opened->thread_.start();
    StoreThread* self = opened.get();
    QMetaObject::invokeMethod(
        opened->worker_, [self, &where, &error] { self->store_ = SqlStore::open(where, error); },
        Qt::BlockingQueuedConnection);
    if (!opened->store_)
        return nullptr; // the destructor ends the thread
    return opened;
}

StoreThread::~StoreThread() {
    if (thread_.isRunning()) {
        // After every job asked before it, on the thread that opened it.
        QMetaObject::invokeMethod(
            worker_, [this] { store_.reset(); }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
}

void StoreThread::run(std::function<void(Store&)> job) {
    QMetaObject::invokeMethod(worker_, [this, job = std::move(job)] {
        if (store_)
            job(*store_);
    });
}

} // namespace wordmoot::store
