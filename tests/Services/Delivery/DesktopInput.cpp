#include "DesktopInput.h"

#include "Platform/Linux/X11Connection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <string>
#include <thread>
#include <vector>

namespace quorvelle::test {

namespace {

// A property of 32-bit items, as a vector of longs (Xlib's format-32 representation).
std::vector<unsigned long> longProperty(Display* display, Window window, const char* name, Atom type) {
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 4096, False, type, &actualType,
                           &format, &count, &remaining, &data) == Success &&
        data && format == 32) {
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        values.assign(items, items + count);
    }
    if (data) XFree(data);
    return values;
}

}  // namespace

void setKeyDown(const char* keyName, bool down) {
    Display* display = X11Connection::display();
    if (!display) return;
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, XStringToKeysym(keyName)), down, CurrentTime);
    XSync(display, False);
}

void tapKeyLater(const char* keyName, std::chrono::microseconds delay) {
    std::thread([name = std::string(keyName), delay] {
        Display* display = XOpenDisplay(nullptr);
        if (!display) return;
        const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(name.c_str()));
        std::this_thread::sleep_for(delay);
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
        XSync(display, False);
        XCloseDisplay(display);
    }).detach();
}

bool isKeyDown(const char* keyName) {
    Display* display = X11Connection::display();
    if (!display) return false;
    char keys[32] = {};
    XQueryKeymap(display, keys);
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keyName));
    return (keys[code / 8] >> (code % 8)) & 1;
}

bool activateWindowOf(qint64 processIdentifier) {
    Display* display = X11Connection::display();
    if (!display) return false;
    const Window root = DefaultRootWindow(display);
    const Atom activate = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    for (unsigned long window : longProperty(display, root, "_NET_CLIENT_LIST", XA_WINDOW)) {
        const auto pid = longProperty(display, window, "_NET_WM_PID", XA_CARDINAL);
        if (pid.empty() || static_cast<qint64>(pid.front()) != processIdentifier) continue;
        XEvent event{};
        // Source 2: a pager, that is the user.
        event.xclient = {ClientMessage, 0, False, display, window, activate, 32, {.l = {2, CurrentTime}}};
        XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XFlush(display);
        return true;
    }
    return false;
}

std::shared_ptr<void> grabKeyboard() {
    Display* display = X11Connection::display();
    if (!display) return nullptr;
    const int status =
        XGrabKeyboard(display, DefaultRootWindow(display), False, GrabModeAsync, GrabModeAsync, CurrentTime);
    XSync(display, False);
    if (status != GrabSuccess) return nullptr;
    return std::shared_ptr<void>(display, [](void* grabbed) {
        XUngrabKeyboard(static_cast<Display*>(grabbed), CurrentTime);
        XSync(static_cast<Display*>(grabbed), False);
    });
}

std::shared_ptr<void> hideActiveWindowProperty() {
    Display* display = X11Connection::display();
    if (!display) return nullptr;
    const Window root = DefaultRootWindow(display);
    const Atom atom = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    const auto saved = longProperty(display, root, "_NET_ACTIVE_WINDOW", XA_WINDOW);
    XDeleteProperty(display, root, atom);
    XSync(display, False);
    return std::shared_ptr<void>(nullptr, [display, root, atom, saved](void*) {
        if (saved.empty()) return;
        XChangeProperty(display, root, atom, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(saved.data()), 1);
        XSync(display, False);
    });
}

}  // namespace quorvelle::test
