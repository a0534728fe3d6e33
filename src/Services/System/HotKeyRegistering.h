#pragma once

#include <QtGlobal>

#include <functional>

namespace quorvelle {

// The platform's global hot-key mechanism as the monitor uses it: one event handler and one grabbed
// combination. Events arrive as the keyboard sends them, auto-repeated presses included.
class HotKeyRegistering {
public:
    enum class Event {
        pressed,
        released,
    };

    virtual ~HotKeyRegistering() = default;

    // Throws HotkeyMonitorError::eventHandlerInstallFailed.
    virtual void installEventHandler(std::function<void(Event)> handler) = 0;
    virtual void removeEventHandler() = 0;
    // Takes the stored key code and modifier mask as they are. Throws HotkeyMonitorError::registrationFailed,
    // with nothing left grabbed.
    virtual void registerHotKey(quint32 keyCode, quint32 carbonModifiers) = 0;
    virtual void unregisterHotKey() = 0;
};

}  // namespace quorvelle
