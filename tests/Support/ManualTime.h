#pragma once

#include "HeldCalls.h"
#include "Support/CancellableSleep.h"

#include <QDateTime>
#include <QList>

namespace quorvelle::test {

// A wall clock and a monotonic clock that move only when the test says so.
class ManualClock {
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC))
        : m_now(std::move(start)) {}

    QDateTime now() const { return m_now; }
    quint64 uptimeNanoseconds() const { return m_uptime; }
    // A negative step sets the wall clock back; the monotonic clock, like the system's, never goes back.
    void advance(double seconds) {
        m_now = m_now.addMSecs(qint64(seconds * 1000.0));
        if (seconds > 0) m_uptime += quint64(seconds * 1e9);
    }

private:
    QDateTime m_now;
    quint64 m_uptime = 1'000'000'000;
};

// A sleeper whose waits end only when the test ends them (or a stop request does, with
// CancellationError). Keeps every requested duration.
class ManualSleeper {
public:
    ManualSleeper() { m_calls.setHolding(true); }

    Sleeper sleeper() {
        return [this](double seconds, std::stop_token stopToken) {
            m_requested.append(seconds);
            return m_calls.pass(std::move(stopToken));
        };
    }
    const QList<double>& requestedSeconds() const { return m_requested; }
    int waitingCount() const { return m_calls.waitingCount(); }
    bool finishOldest() { return m_calls.releaseOldest(); }
    void finishAll() { m_calls.releaseAll(); }

private:
    HeldCalls m_calls;
    QList<double> m_requested;
};

}  // namespace quorvelle::test
