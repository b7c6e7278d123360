#pragma once

#include "server/store/Store.h"

#include <QObject>
#include <QThread>

#include <functional>
#include <memory>

namespace wordmoot::store {

// A store on a thread of its own, so that no store call holds up the thread
// that serves users. Jobs run one at a time, in the order they are asked;
// the store is opened, used and closed on that thread alone.
class StoreThread {
public:
    // Opens the store (SqlStore::open's addresses) on its thread and waits
    // for it; nullptr and why when it cannot be opened.
    static std::unique_ptr<StoreThread> open(const QString& where, QString& error);
    // Runs the jobs already asked, closes the store and ends the thread.
    ~StoreThread();

    void run(std::function<void(Store&)> job);

    // Runs the job, then hands its result to `answer` on the thread of
    // `context`, which must outlive the store thread.
    template <class Result>
    void ask(QObject* context, std::function<Result(Store&)> job,
             std::function<void(Result)> answer) {
        run(answered(context, std::move(job), std::move(answer)));
    }
    // The job that runs `job` and hands its result to `answer` on the thread
    // of `context`, for whoever runs it on the store's thread.
    template <class Result>
    static std::function<void(Store&)> answered(QObject* context,
                                                std::function<Result(Store&)> job,
                                                std::function<void(Result)> answer) {
        return [context, job = std::move(job), answer = std::move(answer)](Store& store) mutable {
            Result result = job(store);
            QMetaObject::invokeMethod(
                    context, [answer = std::move(answer), result = std::move(result)]() mutable {
                        answer(std::move(result));
                    });
        };
    }

    // Runs the job and waits for its result: only for a server that serves
    // nobody yet, as it opens.
    template <class Result>
    Result wait(std::function<Result(Store&)> job) {
        Result result{};
        QMetaObject::invokeMethod(
                worker_, [this, &job, &result] {
                    if (store_)
                        result = job(*store_);
                },
                Qt::BlockingQueuedConnection);
        return result;
    }

private:
    StoreThread() = default;

    QThread thread_;
    QObject* worker_ = nullptr; // lives on thread_
    std::unique_ptr<Store> store_;
};

} // namespace wordmoot::store
