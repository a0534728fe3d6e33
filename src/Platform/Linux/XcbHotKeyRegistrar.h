#pragma once

#include "Platform/Linux/X11KeyMapping.h"
#include "Services/System/HotKeyRegistering.h"

#include <QAbstractNativeEventFilter>

#include <array>
#include <optional>

namespace quorvelle {

// The global hot key on X11: a passive grab of the combination on the root window, made through
// Qt's own X connection so that its events come through Qt's event loop to a native event filter on
// the main thread. Each lock-key state is a separate combination to X, so every variant is grabbed.
// Detectable auto-repeat is turned on: a held key repeats its press but sends a single release.
// Error statuses: the X error code (10 = BadAccess); -1 without Qt's X11 connection; -2 when no key of
// the current layout gives the hot key's key.
class XcbHotKeyRegistrar final : public HotKeyRegistering, private QAbstractNativeEventFilter {
public:
    XcbHotKeyRegistrar() = default;
    ~XcbHotKeyRegistrar() override;
    XcbHotKeyRegistrar(const XcbHotKeyRegistrar&) = delete;
    XcbHotKeyRegistrar& operator=(const XcbHotKeyRegistrar&) = delete;

    // Outside an X11 session (Wayland, no display) this fails: no grab could see any key.
    void installEventHandler(std::function<void(Event)> handler) override;
    void removeEventHandler() override;
    // The X server answers at once: a combination another client holds fails with its error (BadAccess).
    void registerHotKey(quint32 keyCode, quint32 carbonModifiers) override;
    void unregisterHotKey() override;

    // Where this X server puts Alt, Super and Num Lock now (for reading recorded key presses too).
    static X11KeyMapping::ModifierMasks serverModifierMasks();

private:
    struct Grab {
        quint32 root = 0;
        quint8 keyCode = 0;
        std::array<quint16, 4> modifierVariants{};
    };

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    void ungrab(const Grab& grab);

    std::function<void(Event)> m_handler;
    std::optional<Grab> m_grab;
};

}  // namespace quorvelle
