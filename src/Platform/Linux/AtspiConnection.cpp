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

CallTimeoutScope::CallTimeoutScope(int milliseconds) {
    if (ensureInitialised()) atspi_set_timeout(milliseconds, kCallTimeoutMs * 4);
}

CallTimeoutScope::~CallTimeoutScope() {
    if (ensureInitialised()) atspi_set_timeout(kCallTimeoutMs, kCallTimeoutMs * 4);
}

}  // namespace AtspiConnection

AtspiCallError::~AtspiCallError() {
    if (m_error) g_error_free(m_error);
}

GError** AtspiCallError::slot() {
    if (m_error) {
        g_error_free(m_error);
        m_error = nullptr;
    }
    return &m_error;
}

bool AtspiCallError::timedOut() const {
    if (!m_error || !m_error->message) return false;
    const QString text = QString::fromUtf8(m_error->message);
    return text.contains(QLatin1String("timed out"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("timeout"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("did not receive a reply"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("NoReply"), Qt::CaseInsensitive);
}

QString AtspiCallError::message() const {
    return m_error && m_error->message ? QString::fromUtf8(m_error->message) : QString();
}

}  // namespace quorvelle
