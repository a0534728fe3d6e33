#include "Services/Transcription/RetrySleep.h"

#include <QCoroTimer>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace quorvelle {

QCoro::Task<void> defaultRetrySleep(double seconds, std::stop_token stopToken) {
    if (stopToken.stop_requested()) throw WaitCancelledError();
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    timer.start(int(std::llround(std::max(0.0, seconds) * 1000.0)));
    // A stop may be requested from another thread: the early wake-up is queued to the timer's thread.
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
    if (stopToken.stop_requested()) throw WaitCancelledError();
}

}  // namespace quorvelle
