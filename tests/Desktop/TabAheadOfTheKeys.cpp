#include "TabAheadOfTheKeys.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <dlfcn.h>

#include <atomic>

namespace {

std::atomic<bool> armed{false};
std::atomic<int> sentAhead{0};

}  // namespace

namespace quorvelle::test::TabAheadOfTheKeys {

void arm(bool on) {
    armed = on;
}

int sent() {
    return sentAhead;
}

}  // namespace quorvelle::test::TabAheadOfTheKeys

extern "C" int XTestFakeKeyEvent(Display* display, unsigned int keyCode, Bool isPress, unsigned long delay) {
    using Real = int (*)(Display*, unsigned int, Bool, unsigned long);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "XTestFakeKeyEvent"));
    if (isPress && armed.exchange(false)) {
        if (Display* other = XOpenDisplay(nullptr)) {
            const KeyCode tab = XKeysymToKeycode(other, XStringToKeysym("Tab"));
            real(other, tab, True, CurrentTime);
            real(other, tab, False, CurrentTime);
            // Handled by the server before the call below sends the app's key.
            XSync(other, False);
            XCloseDisplay(other);
            ++sentAhead;
        }
    }
    return real(display, keyCode, isPress, delay);
}
