#include "Services/System/CarbonHotkeyMonitor.h"

#include "Services/System/HotkeyMonitorError.h"

#include <QDebug>

#include <exception>

namespace quorvelle {

CarbonHotkeyMonitor::CarbonHotkeyMonitor(std::unique_ptr<HotKeyRegistering> registrar)
    : m_registrar(std::move(registrar)) {}

CarbonHotkeyMonitor::~CarbonHotkeyMonitor() {
    stopMonitoring();
}

void CarbonHotkeyMonitor::startMonitoring(const HotkeyShortcut& shortcut, std::function<void()> onKeyDown,
                                          std::function<void()> onKeyUp) {
    if (m_hotKeyRegistered) return;
    stopMonitoring();
    m_keyDownHandler = std::move(onKeyDown);
    m_keyUpHandler = std::move(onKeyUp);
    installEventHandlerIfNeeded();
    try {
        m_registrar->registerHotKey(shortcut.keyCode, shortcut.carbonModifiers);
    } catch (const HotkeyMonitorError&) {
        stopMonitoring();
        throw;
    }
    m_hotKeyRegistered = true;
}

void CarbonHotkeyMonitor::stopMonitoring() {
    if (m_hotKeyRegistered) {
        m_registrar->unregisterHotKey();
        m_hotKeyRegistered = false;
    }
    if (m_eventHandlerInstalled) {
        m_registrar->removeEventHandler();
        m_eventHandlerInstalled = false;
    }
    m_keyHeld = false;
    m_keyDownHandler = nullptr;
    m_keyUpHandler = nullptr;
}

void CarbonHotkeyMonitor::installEventHandlerIfNeeded() {
    if (m_eventHandlerInstalled) return;
    m_registrar->installEventHandler([this](HotKeyRegistering::Event event) { handleHotKeyEvent(event); });
    m_eventHandlerInstalled = true;
}

void CarbonHotkeyMonitor::handleHotKeyEvent(HotKeyRegistering::Event event) {
    std::function<void()> handler;
    if (event == HotKeyRegistering::Event::pressed) {
        // A held key repeats its press; push-to-talk must see the first one only.
        if (m_keyHeld) return;
        m_keyHeld = true;
        handler = m_keyDownHandler;
    } else {
        m_keyHeld = false;
        handler = m_keyUpHandler;
    }
    // A copy: the handler may stop the monitor, which drops the stored one.
    if (!handler) return;
    try {
        handler();
    } catch (const std::exception& error) {
        qWarning() << "hot-key handler failed:" << error.what();
    } catch (...) {
        qWarning() << "hot-key handler failed";
    }
}

}  // namespace quorvelle
