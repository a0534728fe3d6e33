#include "Platform/Linux/AtspiConnection.h"

#include <atspi/atspi.h>

#include <mutex>

namespace quorvelle {

namespace AtspiConnection {

bool ensureInitialised() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] {
        const int status = atspi_init();
        // 0: initialised now; 1: someone in this process did it already.
        ready = status == 0 || status == 1;
        if (ready) atspi_set_timeout(kCallTimeoutMs, kCallTimeoutMs * 4);
    });
    return ready;
}

}  // namespace AtspiConnection

AtspiCallError::~AtspiCallError() {
    if (error_) g_error_free(error_);
}

GError** AtspiCallError::slot() {
    if (error_) {
        g_error_free(error_);
        error_ = nullptr;
    }
    return &error_;
}

bool AtspiCallError::timedOut() const {
    if (!error_ || !error_->message) return false;
    const QString text = QString::fromUtf8(error_->message);
    return text.contains(QLatin1String("timed out"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("timeout"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("did not receive a reply"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("NoReply"), Qt::CaseInsensitive);
}

QString AtspiCallError::message() const {
    return error_ && error_->message ? QString::fromUtf8(error_->message) : QString();
}

}  // namespace quorvelle
