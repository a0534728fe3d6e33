#include "Support/CancellableSleep.h"

#include "Support/CancellationError.h"

#include <QCoroTimer>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace quorvelle {

QCoro::Task<void> sleepFor(double seconds, std::stop_token stopToken) {
    if (stopToken.stop_requested()) throw CancellationError();
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    const double milliseconds = std::isfinite(seconds) ? std::clamp(seconds * 1000.0, 0.0, double(INT_MAX)) : 0.0;
    timer.start(int(std::llround(milliseconds)));
    // The early wake-up is queued to the timer's thread, whichever thread asks for the stop.
    QPointer<QTimer> guarded(&timer);
    const std::stop_callback onStop(stopToken, [guarded] {
        QMetaObject::invokeMethod(
            guarded.data(),
            [guarded] {
                if (guarded) guarded->start(0);
            },
            Qt::QueuedConnection);
    });
    co_await &timer;
    if (stopToken.stop_requested()) throw CancellationError();
}

}  // namespace quorvelle
