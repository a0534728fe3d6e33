#pragma once

#include <QFuture>
#include <QPromise>
#include <QThreadPool>

#include <QCoroFuture>
#include <QCoroTask>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>

namespace quorvelle {

// Hands `job` to `post`, which runs what it is given on another thread, and resumes the awaiting
// caller on its own thread with the job's result or the exception the job threw. The job owns
// everything it touches.
template <typename Post, typename Job>
auto awaitPostedJob(Post post, Job job) -> QCoro::Task<std::invoke_result_t<Job>> {
    using Result = std::invoke_result_t<Job>;
    // The outcome travels as a value: a future that carries an exception also reports itself as
    // cancelled, which would blur a failed job with an abandoned one.
    struct Outcome {
        std::optional<Result> value;
        std::exception_ptr error;
    };
    auto promise = std::make_shared<QPromise<Outcome>>();
    QFuture<Outcome> future = promise->future();
    post(std::function<void()>([promise, job = std::move(job)]() mutable {
        promise->start();
        Outcome outcome;
        try {
            outcome.value.emplace(job());
        } catch (...) {
            outcome.error = std::current_exception();
        }
        promise->addResult(std::move(outcome));
        promise->finish();
    }));
    Outcome outcome = co_await future;
    if (outcome.error) std::rethrow_exception(outcome.error);
    co_return std::move(*outcome.value);
}

// Runs `job` on a thread of the global pool, for work that must not hold the caller's thread (a
// file of the whole history).
template <typename Job>
auto runOnThreadPool(Job job) -> QCoro::Task<std::invoke_result_t<Job>> {
    return awaitPostedJob([](std::function<void()> work) { QThreadPool::globalInstance()->start(std::move(work)); },
                          std::move(job));
}

}  // namespace quorvelle
