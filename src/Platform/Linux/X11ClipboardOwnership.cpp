#include "Platform/Linux/X11ClipboardOwnership.h"

#include "Platform/Linux/X11Connection.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScopeGuard>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace quorvelle::X11ClipboardOwnership {

namespace {

constexpr int kTimeRefreshLimitMs = 500;
constexpr const char* kProbeProperty = "_QUORVELLE_TIME_PROBE";

xcb_atom_t atomNamed(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// Notices the probe's property notification on its way through Qt, which takes the server time
// from it right after the filters ran.
class ProbeWatcher final : public QAbstractNativeEventFilter {
public:
    xcb_window_t window = XCB_WINDOW_NONE;
    xcb_atom_t property = XCB_ATOM_NONE;
    bool seen = false;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
        const auto* notify = static_cast<const xcb_property_notify_event_t*>(message);
        if (notify->window == window && notify->atom == property) seen = true;
        return false;
    }
};

}  // namespace

bool ownsClipboard() {
    xcb_connection_t* connection = X11Connection::connection();
    if (!connection) return false;
    const xcb_atom_t clipboard = atomNamed(connection, "CLIPBOARD");
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, clipboard), nullptr);
    const xcb_window_t owner = reply ? reply->owner : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
    std::free(reply);
    return owner != XCB_WINDOW_NONE && isMadeHere(owner);
}

bool replaceWhileOwnedBy(quint32 window, const std::function<void()>& replace) {
    xcb_connection_t* connection = X11Connection::connection();
    if (!connection) return false;
    const xcb_atom_t clipboard = atomNamed(connection, "CLIPBOARD");
    xcb_grab_server(connection);
    const auto ungrab = qScopeGuard([connection] {
        xcb_ungrab_server(connection);
        xcb_flush(connection);
    });
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, clipboard), nullptr);
    const bool owned = reply && reply->owner == window;
    std::free(reply);
    if (owned) replace();
    return owned;
}

bool isMadeHere(quint32 window) {
    xcb_connection_t* connection = X11Connection::connection();
    if (!connection) return false;
    // Every resource a connection creates carries that connection's id base.
    const xcb_setup_t* setup = xcb_get_setup(connection);
    return (window & ~setup->resource_id_mask) == setup->resource_id_base;
}

bool refreshServerTime() {
    xcb_connection_t* connection = X11Connection::connection();
    if (!connection || !QCoreApplication::instance()) return false;
    static QWindow* probe = [] {
        auto* window = new QWindow;  // never shown; lives as long as the process
        window->create();
        return window;
    }();
    ProbeWatcher watcher;
    watcher.window = static_cast<xcb_window_t>(probe->winId());
    watcher.property = atomNamed(connection, kProbeProperty);
    QCoreApplication::instance()->installNativeEventFilter(&watcher);
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, watcher.window, watcher.property, XCB_ATOM_STRING, 8, 0,
                        nullptr);
    xcb_flush(connection);
    QElapsedTimer timer;
    timer.start();
    while (!watcher.seen && timer.elapsed() < kTimeRefreshLimitMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    }
    QCoreApplication::instance()->removeNativeEventFilter(&watcher);
    return watcher.seen;
}

}  // namespace quorvelle::X11ClipboardOwnership
