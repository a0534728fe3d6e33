#include "Platform/Linux/XTestKeyPoster.h"

#include "Platform/Linux/X11Connection.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace quorvelle {

namespace {

KeySym keySymFor(KeyEventPosting::Key key) {
    switch (key) {
        case KeyEventPosting::Key::control: return XK_Control_L;
        case KeyEventPosting::Key::shift: return XK_Shift_L;
        case KeyEventPosting::Key::alt: return XK_Alt_L;
        case KeyEventPosting::Key::v: return XK_v;
        case KeyEventPosting::Key::insert: return XK_Insert;
    }
    return NoSymbol;
}

bool isDown(const char keys[32], KeyCode code) {
    return (keys[code / 8] >> (code % 8)) & 1;
}

}  // namespace

bool XTestKeyPoster::isAvailable() {
    Display* display = X11Connection::display();
    if (!display) return false;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    return XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor);
}

std::optional<quint32> XTestKeyPoster::keyCode(Key key) {
    Display* display = X11Connection::display();
    if (!display) return std::nullopt;
    const KeyCode code = XKeysymToKeycode(display, keySymFor(key));
    if (code == 0) return std::nullopt;
    return code;
}

QList<quint32> XTestKeyPoster::heldModifierKeyCodes() {
    QList<quint32> held;
    Display* display = X11Connection::display();
    if (!display) return held;
    char keys[32] = {};
    XQueryKeymap(display, keys);
    XModifierKeymap* map = XGetModifierMapping(display);
    if (!map) return held;
    // Eight modifiers, each with up to max_keypermod key codes (0 for an unused slot).
    for (int index = 0; index < 8 * map->max_keypermod; ++index) {
        const KeyCode code = map->modifiermap[index];
        if (code != 0 && isDown(keys, code) && !held.contains(code)) held.append(code);
    }
    XFreeModifiermap(map);
    return held;
}

void XTestKeyPoster::post(quint32 keyCode, bool pressed) {
    Display* display = X11Connection::display();
    if (!display) return;
    XTestFakeKeyEvent(display, keyCode, pressed ? True : False, CurrentTime);
    // Each event leaves now, so the chord arrives in order even if the caller stops early.
    XFlush(display);
}

std::optional<QList<FocusMovingPress>> XTestKeyPoster::focusMovingPressesBefore(quint32 keyCode, quint64 mark) {
    Display* display = X11Connection::display();
    if (!display) return std::nullopt;
    // Our keys handled first: the watch's round trip then brings every press that came before them.
    XSync(display, False);
    return m_presses.focusMovingPressesBefore(keyCode, mark);
}

}  // namespace quorvelle
