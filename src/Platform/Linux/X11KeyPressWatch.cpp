#include "Platform/Linux/X11KeyPressWatch.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

namespace quorvelle {

X11KeyPressWatch::X11KeyPressWatch() {
    // A connection of its own: the events it asks for never reach Qt's, and reading them never waits
    // on Qt's event loop.
    m_display = XOpenDisplay(nullptr);
    if (!m_display) return;
    // 2.1 or later: raw events come whoever grabbed the keyboard.
    int event = 0, error = 0, major = 2, minor = 2;
    if (!XQueryExtension(m_display, "XInputExtension", &m_opcode, &event, &error) ||
        XIQueryVersion(m_display, &major, &minor) != Success) {
        XCloseDisplay(m_display);
        m_display = nullptr;
        return;
    }
    // Read as they come, so that the server never keeps a long queue for us.
    m_notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(m_display), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readEvents(); });
}

X11KeyPressWatch::~X11KeyPressWatch() {
    m_notifier.reset();
    if (m_display) XCloseDisplay(m_display);
}

void X11KeyPressWatch::setWatching(bool watching) {
    if (!m_display || watching == m_watching) return;
    m_watching = watching;
    select(watching);
    // Presses from before this watch, or still queued from the last one, are not this one's.
    XSync(m_display, False);
    readEvents();
    m_lastPress.reset();
}

void X11KeyPressWatch::select(bool keyPresses) {
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    if (keyPresses) XISetMask(bits, XI_RawKeyPress);
    // Raw events come whichever window has the focus, and whoever grabbed the keyboard.
    XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
    XISelectEvents(m_display, DefaultRootWindow(m_display), &mask, 1);
}

std::optional<std::chrono::milliseconds> X11KeyPressWatch::sinceLastKeyPress() {
    if (!m_display || !m_watching) return std::nullopt;
    // Every press the server handled before this question is in the queue after the round trip.
    XSync(m_display, False);
    readEvents();
    if (!m_lastPress) return std::nullopt;
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - *m_lastPress);
}

void X11KeyPressWatch::readEvents() {
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        if (event.xcookie.type == GenericEvent && event.xcookie.extension == m_opcode &&
            event.xcookie.evtype == XI_RawKeyPress) {
            m_lastPress = std::chrono::steady_clock::now();
        }
    }
}

}  // namespace quorvelle
