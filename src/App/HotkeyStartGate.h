#pragma once

#include "Services/System/HotkeyMonitoring.h"

#include <functional>
#include <memory>
#include <optional>

namespace quorvelle {

// Holds the hot key's registration back until the app can answer a press at once: a press the main
// thread cannot take in time starts the recording late and loses the start of the speech. Until
// `open`, a start is kept (and counts as monitoring) and goes through when the gate opens; from then
// on every call goes straight through. Main thread only.
class HotkeyStartGate final : public HotkeyMonitoring {
public:
    explicit HotkeyStartGate(std::shared_ptr<HotkeyMonitoring> monitor);

    bool isMonitoring() const override;
    void startMonitoring(const HotkeyShortcut& shortcut, std::function<void()> onKeyDown,
                         std::function<void()> onKeyUp) override;
    void stopMonitoring() override;

    // Lets the kept start through. Where the platform refuses it, `refused` runs, with nothing
    // registered, so the owner can start again where such a refusal is told to the user.
    void open(const std::function<void()>& refused);
    bool isOpen() const { return m_open; }

private:
    struct KeptStart {
        HotkeyShortcut shortcut;
        std::function<void()> onKeyDown;
        std::function<void()> onKeyUp;
    };

    std::shared_ptr<HotkeyMonitoring> m_monitor;
    bool m_open = false;
    std::optional<KeptStart> m_kept;
};

}  // namespace quorvelle
