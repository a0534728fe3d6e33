#pragma once

#include <QCoroTask>
#include <QList>
#include <QPointer>

#include <functional>
#include <stop_token>

class QTimer;

namespace quorvelle {

// A pause of the calling task; a stop request ends it at once with CancellationError.
using Sleeper = std::function<QCoro::Task<void>(double seconds, std::stop_token stopToken)>;

// Suspends for the given seconds (negative counts as 0) on the caller's event loop, rounded to the
// millisecond; throws CancellationError when a stop is requested before or during the wait. The stop
// may come from any thread.
QCoro::Task<void> sleepFor(double seconds, std::stop_token stopToken);

// Sleeps that an awaited event ends early: each is a sleepFor that wakeAll() also ends, normally.
// Lives as long as its sleeps; its thread only.
class WakeableSleeps {
public:
    QCoro::Task<void> sleep(double seconds, std::stop_token stopToken);
    void wakeAll();

private:
    QList<QPointer<QTimer>> m_waiting;
};

}  // namespace quorvelle
