// SerialWorkQueue: one worker thread that runs submitted jobs one at a time, in submission order.
// A job's result (or the exception it threw) comes back to the awaiting coroutine on its own thread.
#pragma once

#include <QFuture>
#include <QObject>
#include <QPromise>
#include <QThread>

#include <QCoroFuture>
#include <QCoroTask>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>

namespace quorvelle {

class SerialWorkQueue {
public:
    explicit SerialWorkQueue(const QString& name);
    // Lets every job submitted so far run to its end, then stops the thread.
    ~SerialWorkQueue();

    SerialWorkQueue(const SerialWorkQueue&) = delete;
    SerialWorkQueue& operator=(const SerialWorkQueue&) = delete;

    // Runs the job on the worker thread after every job submitted before it; the awaiting caller
    // resumes on its own thread with the job's result or the exception the job threw.
    template <typename Job>
    auto run(Job job) -> QCoro::Task<std::invoke_result_t<Job>> {
        using Result = std::invoke_result_t<Job>;
        // The outcome travels as a value: a future that carries an exception also reports itself
        // as cancelled, which would blur a failed job with an abandoned one.
        struct Outcome {
            std::optional<Result> value;
            std::exception_ptr error;
        };
        auto promise = std::make_shared<QPromise<Outcome>>();
        QFuture<Outcome> future = promise->future();
        post([promise, job = std::move(job)]() mutable {
            promise->start();
            Outcome outcome;
            try {
                outcome.value.emplace(job());
            } catch (...) {
                outcome.error = std::current_exception();
            }
            promise->addResult(std::move(outcome));
            promise->finish();
        });
        Outcome outcome = co_await future;
        if (outcome.error) std::rethrow_exception(outcome.error);
        co_return std::move(*outcome.value);
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
