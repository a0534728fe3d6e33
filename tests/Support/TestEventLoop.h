#pragma once

#include <QCoroTask>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QCoreApplication>

#include <functional>
#include <optional>
#include <stdexcept>

namespace quorvelle::test {

// Runs a task to completion on the test's event loop and returns its value (or rethrows).
template <typename T>
T runTask(QCoro::Task<T> task) {
    return QCoro::waitFor(std::move(task));
}

inline void runTask(QCoro::Task<void> task) {
    QCoro::waitFor(std::move(task));
}

// Spins the event loop until the condition holds or the limit passes; returns whether it held.
// For waiting on real external events (another process, the display server), never on our own timers.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

}  // namespace quorvelle::test
