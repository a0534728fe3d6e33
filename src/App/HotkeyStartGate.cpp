#include "App/HotkeyStartGate.h"

#include <utility>

namespace quorvelle {

HotkeyStartGate::HotkeyStartGate(std::shared_ptr<HotkeyMonitoring> monitor) : m_monitor(std::move(monitor)) {}

bool HotkeyStartGate::isMonitoring() const {
    return m_open ? m_monitor->isMonitoring() : m_kept.has_value();
}

void HotkeyStartGate::startMonitoring(const HotkeyShortcut& shortcut, std::function<void()> onKeyDown,
                                      std::function<void()> onKeyUp) {
    if (m_open) {
        m_monitor->startMonitoring(shortcut, std::move(onKeyDown), std::move(onKeyUp));
        return;
    }
    // As the monitor does: a registered combination stays until it is stopped.
    if (!m_kept) m_kept = KeptStart{shortcut, std::move(onKeyDown), std::move(onKeyUp)};
}

void HotkeyStartGate::stopMonitoring() {
    m_kept.reset();
    m_monitor->stopMonitoring();
}

void HotkeyStartGate::open(const std::function<void()>& refused) {
    if (m_open) return;
    m_open = true;
    std::optional<KeptStart> kept = std::exchange(m_kept, std::nullopt);
    if (!kept) return;
    try {
        m_monitor->startMonitoring(kept->shortcut, std::move(kept->onKeyDown), std::move(kept->onKeyUp));
    } catch (...) {
        // Whatever the platform threw counts as a refusal, as it does for a start made at once.
        if (refused) refused();
    }
}

}  // namespace quorvelle
