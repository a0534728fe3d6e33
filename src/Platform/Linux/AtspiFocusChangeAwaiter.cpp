#include "Platform/Linux/AtspiFocusChangeAwaiter.h"

#include "Platform/Linux/AtspiConnection.h"
#include "Support/CancellationError.h"

#include <atspi/atspi.h>

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

QString busNameOf(AtspiAccessible* accessible) {
    const AtspiApplication* app = accessible ? ATSPI_OBJECT(accessible)->app : nullptr;
    return QString::fromUtf8(app && app->bus_name ? app->bus_name : "");
}

void wake(const QPointer<QTimer>& timer) {
    QMetaObject::invokeMethod(
        timer.data(),
        [timer] {
            if (timer) timer->start(0);
        },
        Qt::QueuedConnection);
}

// Called by libatspi from the main loop with a copy of the event that is ours to free; must not throw.
void onFocusChanged(const AtspiEvent* event) {
    if (!event) return;
    const QString busName = busNameOf(event->source);
    if (event->detail1 == 1) {
        focusedBusName = busName;
        focusAway = false;
        for (const QPointer<QTimer>& timer : std::as_const(waiting))
            if (timer) wake(timer);
    } else if (busName == focusedBusName) {
        focusAway = true;
    }
    g_boxed_free(ATSPI_TYPE_EVENT, const_cast<AtspiEvent*>(event));
}

bool listen() {
    static bool listening = false;
    if (listening || !AtspiConnection::ensureInitialised()) return listening;
    AtspiCallError error;
    listening =
        atspi_event_listener_register_no_data(&onFocusChanged, nullptr, "object:state-changed:focused", error.slot());
    return listening;
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
