#include "Platform/Linux/X11KeyPressWatch.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

namespace quorvelle {

namespace {

// Buttons 1 to 3 click; 4 to 7 scroll, which moves no focus.
constexpr int kLastClickButton = 3;
// Presses kept apart in one watch; a dictation sees a few.
constexpr qsizetype kKeptPresses = 64;
// Presses kept in order for the look at what came before a key of ours.
constexpr qsizetype kOrderedPresses = 256;

}  // namespace

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
    if (watching) {
        m_tabKeyCodes.clear();
        int minimum = 0, maximum = 0;
        XDisplayKeycodes(m_display, &minimum, &maximum);
        for (int code = minimum; code <= maximum; ++code) {
            // Level 1 is Shift's, where ISO_Left_Tab usually sits.
            for (int level = 0; level < 2; ++level) {
                const KeySym symbol = XkbKeycodeToKeysym(m_display, KeyCode(code), 0, level);
                if (symbol == XK_Tab || symbol == XK_ISO_Left_Tab) m_tabKeyCodes.insert(code);
            }
        }
    }
    select(watching);
    // Presses from before this watch, or still queued from the last one, are not this one's.
    XSync(m_display, False);
    readEvents();
    m_lastPress.reset();
    m_lastFocusMovingPress.reset();
    m_focusMovingPresses.clear();
    m_readPresses.clear();
}

void X11KeyPressWatch::select(bool presses) {
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    if (presses) {
        XISetMask(bits, XI_RawKeyPress);
        XISetMask(bits, XI_RawButtonPress);
    }
    // Raw events come whichever window has the focus, and whoever grabbed the keyboard.
    XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
    XISelectEvents(m_display, DefaultRootWindow(m_display), &mask, 1);
}

void X11KeyPressWatch::catchUp() {
    if (!m_display || !m_watching) return;
    // Every press the server handled before this question is in the queue after the round trip.
    XSync(m_display, False);
    readEvents();
}

std::optional<std::chrono::milliseconds> X11KeyPressWatch::since(
    const std::optional<std::chrono::steady_clock::time_point>& press) {
    if (!press) return std::nullopt;
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - *press);
}

std::optional<std::chrono::milliseconds> X11KeyPressWatch::sinceLastKeyPress() {
    if (!m_display || !m_watching) return std::nullopt;
    catchUp();
    return since(m_lastPress);
}

std::optional<std::chrono::milliseconds> X11KeyPressWatch::sinceLastFocusMovingPress() {
    if (!m_display || !m_watching) return std::nullopt;
    catchUp();
    return since(m_lastFocusMovingPress);
}

QList<FocusMovingPress> X11KeyPressWatch::focusMovingPresses() {
    if (!m_display || !m_watching) return {};
    catchUp();
    return m_focusMovingPresses;
}

std::optional<quint64> X11KeyPressWatch::pressesRead() const {
    if (!m_display || !m_watching) return std::nullopt;
    return m_pressesRead;
}

std::optional<QList<FocusMovingPress>> X11KeyPressWatch::focusMovingPressesBefore(quint32 keyCode, quint64 mark) {
    if (!m_display || !m_watching) return std::nullopt;
    catchUp();
    // The oldest kept press must be the mark's next, or some between are gone.
    if (!m_readPresses.isEmpty() && m_readPresses.first().number > mark + 1) return std::nullopt;
    QList<FocusMovingPress> before;
    for (const ReadPress& press : std::as_const(m_readPresses)) {
        if (press.number <= mark) continue;
        if (press.keyCode == keyCode) return before;
        if (press.movingFocus) before.append(*press.movingFocus);
    }
    return std::nullopt;
}

std::optional<QPointF> X11KeyPressWatch::pointerPosition() {
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
    unsigned int buttons = 0;
    if (!XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &rootX, &rootY, &windowX, &windowY,
                       &buttons))
        return std::nullopt;
    return QPointF(rootX, rootY);
}

void X11KeyPressWatch::readEvents() {
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        if (event.xcookie.type != GenericEvent || event.xcookie.extension != m_opcode) continue;
        const bool key = event.xcookie.evtype == XI_RawKeyPress;
        if (!key && event.xcookie.evtype != XI_RawButtonPress) continue;
        const auto now = std::chrono::steady_clock::now();
        int detail = 0;
        if (XGetEventData(m_display, &event.xcookie)) {
            detail = static_cast<const XIRawEvent*>(event.xcookie.data)->detail;
            XFreeEventData(m_display, &event.xcookie);
        }
        if (key) m_lastPress = now;
        if (m_readPresses.size() >= kOrderedPresses) m_readPresses.removeFirst();
        m_readPresses.append(
            {++m_pressesRead, key && detail != 0 ? std::optional<quint32>(detail) : std::nullopt, std::nullopt});
        // Unreadable details count as a move: a press that may have moved the focus is not waved through.
        const bool movesFocus = detail == 0 || (key ? m_tabKeyCodes.contains(detail) : detail <= kLastClickButton);
        if (!movesFocus) continue;
        m_lastFocusMovingPress = now;
        FocusMovingPress press{FocusMovingPress::Kind::unread, now, std::nullopt};
        if (detail != 0) press.kind = key ? FocusMovingPress::Kind::tab : FocusMovingPress::Kind::click;
        // Read as the click is taken in: a hand rests while it clicks, and a pointer that cannot be
        // read leaves the click counted as one that moved the focus.
        if (press.kind == FocusMovingPress::Kind::click) press.pointer = pointerPosition();
        m_readPresses.last().movingFocus = press;
        if (m_focusMovingPresses.size() >= kKeptPresses) {
            m_focusMovingPresses.removeFirst();
            m_focusMovingPresses.first().kind = FocusMovingPress::Kind::unread;
        }
        m_focusMovingPresses.append(press);
    }
}

}  // namespace quorvelle
