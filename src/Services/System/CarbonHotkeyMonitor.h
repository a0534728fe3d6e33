#pragma once

#include "Services/System/HotKeyRegistering.h"
#include "Services/System/HotkeyMonitoring.h"

#include <memory>

namespace quorvelle {

// Keeps one hot key registered through the platform's registrar and turns its raw events into one
// key-down and one key-up call per physical press: presses repeated while the key is held are dropped.
// Main thread only, like the registrar's events.
class CarbonHotkeyMonitor final : public HotkeyMonitoring {
public:
    explicit CarbonHotkeyMonitor(std::unique_ptr<HotKeyRegistering> registrar);
    ~CarbonHotkeyMonitor() override;
    CarbonHotkeyMonitor(const CarbonHotkeyMonitor&) = delete;
    CarbonHotkeyMonitor& operator=(const CarbonHotkeyMonitor&) = delete;

    bool isMonitoring() const override { return m_hotKeyRegistered; }
    void startMonitoring(const HotkeyShortcut& shortcut, std::function<void()> onKeyDown,
                         std::function<void()> onKeyUp) override;
    void stopMonitoring() override;

private:
    void installEventHandlerIfNeeded();
    void handleHotKeyEvent(HotKeyRegistering::Event event);

    std::unique_ptr<HotKeyRegistering> m_registrar;
    bool m_eventHandlerInstalled = false;
    bool m_hotKeyRegistered = false;
    bool m_keyHeld = false;
    std::function<void()> m_keyDownHandler;
    std::function<void()> m_keyUpHandler;
};

}  // namespace quorvelle
