#pragma once

#include <QCoreApplication>
#include <QCoroTask>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>

#include <exception>
#include <functional>
#include <optional>
#include <type_traits>

namespace quorvelle::test {

// Runs a task to completion on the test's event loop and returns its value (or rethrows).
// QCoro::waitFor never returns when the task throws, so the task is awaited inside a wrapper
// that keeps the exception and rethrows it here.
template <typename T>
T runTask(QCoro::Task<T> task) {
    std::optional<std::conditional_t<std::is_void_v<T>, bool, T>> result;
    std::exception_ptr failure;
    auto capture = [](QCoro::Task<T> inner, auto& out, std::exception_ptr& error) -> QCoro::Task<void> {
        try {
            if constexpr (std::is_void_v<T>) {
                co_await std::move(inner);
            } else {
                out.emplace(co_await std::move(inner));
            }
        } catch (...) {
            error = std::current_exception();
        }
    };
    QCoro::waitFor(capture(std::move(task), result, failure));
    if (failure) std::rethrow_exception(failure);
    if constexpr (!std::is_void_v<T>) return std::move(*result);
}

// The error of type Error a task ends with; none when it succeeds (another error passes through).
template <typename Error, typename T>
std::optional<Error> failureOf(QCoro::Task<T> task) {
    try {
        runTask(std::move(task));
    } catch (const Error& error) {
        return error;
    }
    return std::nullopt;
}

// Spins the event loop until the condition holds or the limit passes; returns whether it held.
// For waiting on real external events (another process, the display server), never on our own timers.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

}  // namespace quorvelle::test
