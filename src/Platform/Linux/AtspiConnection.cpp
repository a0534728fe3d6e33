#include "Platform/Linux/AtspiConnection.h"

#include <atspi/atspi.h>
#include <dbus/dbus.h>

#include <atomic>
#include <memory>
#include <mutex>

namespace quorvelle {

namespace AtspiConnection {

namespace {

// What calls into other applications wait for now.
std::atomic<int> g_callTimeoutMs{kCallTimeoutMs};

void setCallTimeout(int milliseconds) {
    g_callTimeoutMs = milliseconds;
    atspi_set_timeout(milliseconds, kCallTimeoutMs * 4);
}

}  // namespace

bool ensureInitialised() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] {
        const int status = atspi_init();
        // 0: initialised now; 1: someone in this process did it already.
        ready = status == 0 || status == 1;
        if (ready) setCallTimeout(kCallTimeoutMs);
    });
    return ready;
}

CallTimeoutScope::CallTimeoutScope(int milliseconds) {
    if (ensureInitialised()) setCallTimeout(milliseconds);
}

CallTimeoutScope::~CallTimeoutScope() {
    if (ensureInitialised()) setCallTimeout(kCallTimeoutMs);
}

bool answers(AtspiAccessible* accessible) {
    DBusConnection* bus = ensureInitialised() ? atspi_get_a11y_bus() : nullptr;
    const AtspiObject* object = accessible ? ATSPI_OBJECT(accessible) : nullptr;
    if (!bus || !object || !object->app || !object->app->bus_name || !object->path) return false;
    const std::unique_ptr<DBusMessage, void (*)(DBusMessage*)> call(
        dbus_message_new_method_call(object->app->bus_name, object->path, ATSPI_DBUS_INTERFACE_ACCESSIBLE, "GetRole"),
        dbus_message_unref);
    if (!call) return false;
    DBusError error;
    dbus_error_init(&error);
    DBusMessage* reply = dbus_connection_send_with_reply_and_block(bus, call.get(), g_callTimeoutMs, &error);
    if (reply) dbus_message_unref(reply);
    // An error is an answer too (an object gone); only silence is not.
    const bool answered =
        reply || !(dbus_error_has_name(&error, DBUS_ERROR_NO_REPLY) || dbus_error_has_name(&error, DBUS_ERROR_TIMEOUT));
    dbus_error_free(&error);
    return answered;
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
