#include "Platform/Linux/XcbHotKeyRegistrar.h"

#include "Platform/Linux/X11Connection.h"
#include "Services/System/HotkeyMonitorError.h"

#include <QDebug>
#include <QGuiApplication>

#include <X11/XKBlib.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace quorvelle {

namespace {

constexpr int kNoX11Status = -1;
constexpr int kNoKeyStatus = -2;
constexpr int kBadAccess = 10;

QNativeInterface::QX11Application* qtX11() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    return app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
}

QString describeXError(int code) {
    if (code == kBadAccess) {
        return QStringLiteral("X error %1 (BadAccess): another program already holds this key combination").arg(code);
    }
    return QStringLiteral("X error %1: the key grab was refused").arg(code);
}

}  // namespace

// Where Alt, Super and Num Lock sit in the server's modifier map (they are not fixed bits).
X11KeyMapping::ModifierMasks XcbHotKeyRegistrar::serverModifierMasks() {
    X11KeyMapping::ModifierMasks masks;
    Display* display = X11Connection::display();
    XModifierKeymap* map = display ? XGetModifierMapping(display) : nullptr;
    if (!map) return masks;
    bool alt = false, super = false, numLock = false;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int slot = 0; slot < map->max_keypermod; ++slot) {
            const KeyCode code = map->modifiermap[modifier * map->max_keypermod + slot];
            if (code == 0) continue;
            const KeySym sym = XkbKeycodeToKeysym(display, code, 0, 0);
            const auto bit = static_cast<quint16>(1u << modifier);
            if (!alt && (sym == XK_Alt_L || sym == XK_Alt_R)) masks.alt = bit, alt = true;
            if (!super && (sym == XK_Super_L || sym == XK_Super_R)) masks.super = bit, super = true;
            if (!numLock && sym == XK_Num_Lock) masks.numLock = bit, numLock = true;
        }
    }
    XFreeModifiermap(map);
    return masks;
}

XcbHotKeyRegistrar::~XcbHotKeyRegistrar() {
    unregisterHotKey();
    removeEventHandler();
}

void XcbHotKeyRegistrar::installEventHandler(std::function<void(Event)> handler) {
    QNativeInterface::QX11Application* x11 = qtX11();
    if (!x11 || !x11->display() || !x11->connection()) {
        const QString platform = QGuiApplication::platformName();
        throw HotkeyMonitorError(
            HotkeyMonitorError::Case::eventHandlerInstallFailed, kNoX11Status,
            QStringLiteral("The global hot key needs an X11 session; this one runs on \"%1\". Log in to an X11 "
                           "session, or start the program with QT_QPA_PLATFORM=xcb.")
                .arg(platform.isEmpty() ? QStringLiteral("no display") : platform));
    }
    // Without this a held key sends release-press pairs, indistinguishable from real presses.
    Bool supported = False;
    XkbSetDetectableAutoRepeat(x11->display(), True, &supported);
    if (!supported) qWarning() << "X server without detectable auto-repeat: a held hot key may repeat";
    m_handler = std::move(handler);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

void XcbHotKeyRegistrar::removeEventHandler() {
    m_handler = nullptr;
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
}

void XcbHotKeyRegistrar::registerHotKey(quint32 keyCode, quint32 carbonModifiers) {
    unregisterHotKey();
    QNativeInterface::QX11Application* x11 = qtX11();
    Display* display = x11 ? x11->display() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!display || !connection) {
        throw HotkeyMonitorError(HotkeyMonitorError::Case::registrationFailed, kNoX11Status,
                                 QStringLiteral("No X11 connection to grab the hot key on."));
    }
    const std::optional<quint32> keySym = X11KeyMapping::keySymForKeyCode(keyCode);
    const KeyCode xKeyCode = keySym ? XKeysymToKeycode(display, *keySym) : 0;
    if (xKeyCode == 0) {
        throw HotkeyMonitorError(
            HotkeyMonitorError::Case::registrationFailed, kNoKeyStatus,
            QStringLiteral("No key of this keyboard layout gives the hot key's key (code %1).").arg(keyCode));
    }
    const X11KeyMapping::ModifierMasks masks = serverModifierMasks();
    Grab grab;
    grab.root = static_cast<quint32>(DefaultRootWindow(display));
    grab.keyCode = xKeyCode;
    grab.modifierVariants = X11KeyMapping::lockVariants(X11KeyMapping::xModifiers(carbonModifiers, masks), masks);

    std::array<xcb_void_cookie_t, 4> cookies{};
    for (size_t index = 0; index < cookies.size(); ++index) {
        cookies[index] = xcb_grab_key_checked(connection, 0, grab.root, grab.modifierVariants[index], grab.keyCode,
                                              XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    }
    // Checked requests: each answer comes back here, not to Qt's error handler, and at once.
    std::optional<int> errorCode;
    for (xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
            if (!errorCode) errorCode = error->error_code;
            std::free(error);
        }
    }
    if (errorCode) {
        // The variants that did succeed must not stay grabbed.
        ungrab(grab);
        throw HotkeyMonitorError(HotkeyMonitorError::Case::registrationFailed, *errorCode, describeXError(*errorCode));
    }
    m_grab = grab;
}

void XcbHotKeyRegistrar::unregisterHotKey() {
    if (!m_grab) return;
    ungrab(*m_grab);
    m_grab.reset();
}

void XcbHotKeyRegistrar::ungrab(const Grab& grab) {
    QNativeInterface::QX11Application* x11 = qtX11();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return;
    for (quint16 modifiers : grab.modifierVariants) {
        xcb_ungrab_key(connection, grab.keyCode, grab.root, modifiers);
    }
    xcb_flush(connection);
}

bool XcbHotKeyRegistrar::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (!m_grab || !m_handler || eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) return false;
    // Key events reach the root window only through our grab: while it is active, every key is
    // reported there, so the key code alone tells ours apart (the modifiers may already be up).
    const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
    if (key->event != m_grab->root || key->detail != m_grab->keyCode) return false;
    // A copy: the handler may stop the hot key, which drops the stored one.
    const std::function<void(Event)> handler = m_handler;
    try {
        handler(type == XCB_KEY_PRESS ? Event::pressed : Event::released);
    } catch (...) {
        qWarning() << "hot-key event handler failed";
    }
    return true;
}

}  // namespace quorvelle
