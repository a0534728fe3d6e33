// The pause between two upload attempts, ended early by a stop request.
#pragma once

#include <QByteArray>
#include <QCoroTask>

#include <exception>
#include <functional>
#include <stop_token>

namespace quorvelle {

// A wait that a stop request ended.
class WaitCancelledError : public std::exception {
public:
    enum class Case { cancelled };

    Case errorCase() const { return Case::cancelled; }
    const char* what() const noexcept override { return "cancelled"; }
};

using RetrySleep = std::function<QCoro::Task<void>(double seconds, std::stop_token stopToken)>;

// Suspends for round(seconds x 1000) milliseconds on the caller's event loop; throws
// WaitCancelledError when a stop is requested before or during the wait.
QCoro::Task<void> defaultRetrySleep(double seconds, std::stop_token stopToken);

}  // namespace quorvelle
