#pragma once

#include <QSocketNotifier>

#include <chrono>
#include <memory>
#include <optional>

struct _XDisplay;

namespace quorvelle {

// Notes every key press on the display, whichever window it goes to, through XInput 2's raw events
// on a connection of its own, while it is watching: outside a dictation the user's typing elsewhere
// must not wake the app. Main thread only.
class X11KeyPressWatch {
public:
    X11KeyPressWatch();
    ~X11KeyPressWatch();
    X11KeyPressWatch(const X11KeyPressWatch&) = delete;
    X11KeyPressWatch& operator=(const X11KeyPressWatch&) = delete;

    // How long ago the last key press came, as far as this watch has seen; none when none came since
    // it started or the display cannot tell. A press not read yet counts as just now.
    std::optional<std::chrono::milliseconds> sinceLastKeyPress();
    // Starts or ends the watch; a new watch has seen no press yet.
    void setWatching(bool watching);

private:
    void readEvents();
    void select(bool keyPresses);

    _XDisplay* m_display = nullptr;
    int m_opcode = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::optional<std::chrono::steady_clock::time_point> m_lastPress;
    bool m_watching = false;
};

}  // namespace quorvelle
