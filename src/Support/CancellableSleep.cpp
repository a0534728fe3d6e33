#include "Support/CancellableSleep.h"

#include "Support/CancellationError.h"

#include <QCoroTimer>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace quorvelle {

namespace {

// Queued to the timer's thread, whichever thread asks.
void wakeSoon(const QPointer<QTimer>& timer) {
    QMetaObject::invokeMethod(
        timer.data(),
        [timer] {
            if (timer) timer->start(0);
        },
        Qt::QueuedConnection);
}

QCoro::Task<void> sleepOn(double seconds, std::stop_token stopToken, QList<QPointer<QTimer>>* waiting) {
    if (stopToken.stop_requested()) throw CancellationError();
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    const double milliseconds = std::isfinite(seconds) ? std::clamp(seconds * 1000.0, 0.0, double(INT_MAX)) : 0.0;
    timer.start(int(std::llround(milliseconds)));
    const QPointer<QTimer> guarded(&timer);
    if (waiting) waiting->append(guarded);
    const std::stop_callback onStop(stopToken, [guarded] { wakeSoon(guarded); });
    co_await &timer;
    if (waiting) {
        waiting->removeAll(guarded);
        waiting->removeAll(QPointer<QTimer>());
    }
    if (stopToken.stop_requested()) throw CancellationError();
}

}  // namespace

QCoro::Task<void> sleepFor(double seconds, std::stop_token stopToken) {
    return sleepOn(seconds, std::move(stopToken), nullptr);
}

QCoro::Task<void> WakeableSleeps::sleep(double seconds, std::stop_token stopToken) {
    return sleepOn(seconds, std::move(stopToken), &m_waiting);
}

void WakeableSleeps::wakeAll() {
    for (const QPointer<QTimer>& timer : std::as_const(m_waiting))
        if (timer) wakeSoon(timer);
}

}  // namespace quorvelle
