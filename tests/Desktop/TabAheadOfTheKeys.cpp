#include "TabAheadOfTheKeys.h"

#include "Platform/Linux/X11Connection.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace {

std::atomic<bool> armed{false};
std::atomic<int> sentAhead{0};

struct Press {
    unsigned int keyCode;
    std::chrono::steady_clock::time_point at;
};
// The presses of lately, oldest first; any thread may post.
std::mutex pressesMutex;
std::vector<Press> presses;
constexpr std::size_t kKeptPresses = 256;

}  // namespace

namespace quorvelle::test::TabAheadOfTheKeys {

void arm(bool on) {
    armed = on;
}

int sent() {
    return sentAhead;
}

std::optional<std::chrono::steady_clock::time_point> pressedAfter(const char* keyName,
                                                                  std::chrono::steady_clock::time_point since) {
    Display* display = X11Connection::display();
    if (!display) return std::nullopt;
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keyName));
    const std::lock_guard lock(pressesMutex);
    const auto press = std::find_if(presses.cbegin(), presses.cend(),
                                    [&](const Press& press) { return press.keyCode == code && press.at >= since; });
    if (press == presses.cend()) return std::nullopt;
    return press->at;
}

}  // namespace quorvelle::test::TabAheadOfTheKeys

extern "C" int XTestFakeKeyEvent(Display* display, unsigned int keyCode, Bool isPress, unsigned long delay) {
    using Real = int (*)(Display*, unsigned int, Bool, unsigned long);
    static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "XTestFakeKeyEvent"));
    if (isPress) {
        const std::lock_guard lock(pressesMutex);
        if (presses.size() >= kKeptPresses) presses.erase(presses.begin());
        presses.push_back({keyCode, std::chrono::steady_clock::now()});
    }
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
