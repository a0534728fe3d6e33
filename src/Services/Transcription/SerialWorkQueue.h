// SerialWorkQueue: one worker thread that runs submitted jobs one at a time, in submission order.
// A job's result (or the exception it threw) comes back through a QFuture, which a coroutine on the
// submitting thread awaits and resumes on that thread.
#pragma once

#include <QFuture>
#include <QObject>
#include <QPromise>
#include <QThread>

#include <exception>
#include <functional>
#include <memory>
#include <type_traits>

namespace quorvelle {

class SerialWorkQueue {
public:
    explicit SerialWorkQueue(const QString& name);
    // Lets every job submitted so far run to its end, then stops the thread.
    ~SerialWorkQueue();

    SerialWorkQueue(const SerialWorkQueue&) = delete;
    SerialWorkQueue& operator=(const SerialWorkQueue&) = delete;

    template <typename Job>
    auto submit(Job job) -> QFuture<std::invoke_result_t<Job>>
    {
        using Result = std::invoke_result_t<Job>;
        auto promise = std::make_shared<QPromise<Result>>();
        QFuture<Result> future = promise->future();
        post([promise, job = std::move(job)]() mutable {
            promise->start();
            try {
                if constexpr (std::is_void_v<Result>) {
                    job();
                } else {
                    promise->addResult(job());
                }
            } catch (...) {
                promise->setException(std::current_exception());
            }
            promise->finish();
        });
        return future;
    }

    // Runs the work on the worker thread after every job submitted before it, and waits for it.
    void runAndWait(const std::function<void()>& work);

    bool isWorkerThread() const { return QThread::currentThread() == &m_thread; }

private:
    void post(std::function<void()> work);

    QThread m_thread;
    QObject* m_worker;  // lives on m_thread; jobs are delivered to it as queued calls
};

}  // namespace quorvelle
