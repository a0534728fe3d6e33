#pragma once

#include "Models/HotkeyShortcut.h"

#include <functional>

namespace quorvelle {

// One system-wide hot key at a time. The callbacks run on the main thread, one press and one release
// per physical press however long the key is held.
class HotkeyMonitoring {
public:
    virtual ~HotkeyMonitoring() = default;

    virtual bool isMonitoring() const = 0;
    // Registers the combination and keeps the callbacks. While a combination is registered this does
    // nothing (the caller stops first to change it). Throws HotkeyMonitorError.
    virtual void startMonitoring(const HotkeyShortcut& shortcut, std::function<void()> onKeyDown,
                                 std::function<void()> onKeyUp) = 0;
    // Releases the combination and drops the callbacks; safe when idle.
    virtual void stopMonitoring() = 0;
};

}  // namespace quorvelle
