#include "Platform/Linux/AtspiFocusChangeAwaiter.h"

#include "Platform/Linux/AtspiFocusTracker.h"
#include "Support/CancellationError.h"

#include <QCoroTimer>
#include <QList>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace quorvelle {

namespace {

QList<QPointer<QTimer>> waiting;

void wake(const QPointer<QTimer>& timer) {
    QMetaObject::invokeMethod(
        timer.data(),
        [timer] {
            if (timer) timer->start(0);
        },
        Qt::QueuedConnection);
}

// Told by the focus tracker, after it took the event in.
void onFocusGained() {
    for (const QPointer<QTimer>& timer : std::as_const(waiting))
        if (timer) wake(timer);
}

bool listen() {
    static const bool observing = [] {
        AtspiFocusTracker::observeGains(&onFocusGained);
        return true;
    }();
    return observing && AtspiFocusTracker::start();
}

}  // namespace

AtspiFocusChangeAwaiter::AtspiFocusChangeAwaiter() {
    listen();
}

bool AtspiFocusChangeAwaiter::isFocusAway() const {
    return AtspiFocusTracker::isFocusAway();
}

QCoro::Task<void> AtspiFocusChangeAwaiter::nextFocusChange(double timeoutSeconds, std::stop_token stopToken) {
    if (stopToken.stop_requested()) throw CancellationError();
    // Without the bus no event comes: the timeout alone ends the wait.
    listen();
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    const double milliseconds =
        std::isfinite(timeoutSeconds) ? std::clamp(timeoutSeconds * 1000.0, 0.0, double(INT_MAX)) : 0.0;
    timer.start(int(std::llround(milliseconds)));
    const QPointer<QTimer> guarded(&timer);
    waiting.append(guarded);
    const std::stop_callback onStop(stopToken, [guarded] { wake(guarded); });
    co_await &timer;
    waiting.removeAll(guarded);
    waiting.removeAll(QPointer<QTimer>());
    if (stopToken.stop_requested()) throw CancellationError();
}

}  // namespace quorvelle
