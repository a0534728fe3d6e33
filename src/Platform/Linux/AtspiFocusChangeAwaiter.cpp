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
// The application of the newest element to gain the focus, and whether it has taken the focus away
// since. A loss in another application is a switch between applications, not a focus away.
QString focusedBusName;
bool focusAway = false;

void wake(const QPointer<QTimer>& timer) {
    QMetaObject::invokeMethod(
        timer.data(),
        [timer] {
            if (timer) timer->start(0);
        },
        Qt::QueuedConnection);
}

// Told by the focus tracker, after it took the event in.
void onFocusEvent(bool gained, const QString& busName) {
    if (gained) {
        focusedBusName = busName;
        focusAway = false;
        for (const QPointer<QTimer>& timer : std::as_const(waiting))
            if (timer) wake(timer);
    } else if (busName == focusedBusName) {
        focusAway = true;
    }
}

bool listen() {
    static const bool observing = [] {
        AtspiFocusTracker::observe(&onFocusEvent);
        return true;
    }();
    return observing && AtspiFocusTracker::start();
}

}  // namespace

AtspiFocusChangeAwaiter::AtspiFocusChangeAwaiter() {
    listen();
}

bool AtspiFocusChangeAwaiter::isFocusAway() const {
    return focusAway;
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
