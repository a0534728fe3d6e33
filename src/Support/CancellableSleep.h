#pragma once

#include <QCoroTask>

#include <functional>
#include <stop_token>

namespace quorvelle {

// A pause of the calling task; a stop request ends it at once with CancellationError.
using Sleeper = std::function<QCoro::Task<void>(double seconds, std::stop_token stopToken)>;

// Suspends for the given seconds (negative counts as 0) on the caller's event loop, rounded to the
// millisecond; throws CancellationError when a stop is requested before or during the wait. The stop
// may come from any thread.
QCoro::Task<void> sleepFor(double seconds, std::stop_token stopToken);

}  // namespace quorvelle
