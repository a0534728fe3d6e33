#pragma once

#include "Platform/Linux/X11KeyPressWatch.h"
#include "Services/Delivery/KeyEventPosting.h"

namespace quorvelle {

// Key events through the XTEST extension: the X server treats them like the keyboard's own.
class XTestKeyPoster final : public KeyEventPosting {
public:
    bool isAvailable() override;
    std::optional<quint32> keyCode(Key key) override;
    QList<quint32> heldModifierKeyCodes() override;
    void post(quint32 keyCode, bool pressed) override;
    std::optional<std::chrono::milliseconds> sinceLastKeyPress() override { return m_presses.sinceLastKeyPress(); }
    std::optional<std::chrono::milliseconds> sinceLastFocusMovingPress() override {
        return m_presses.sinceLastFocusMovingPress();
    }
    QList<FocusMovingPress> focusMovingPresses() override { return m_presses.focusMovingPresses(); }
    void watchKeyPresses(bool watching) override { m_presses.setWatching(watching); }
    std::optional<quint64> pressOrderMark() override { return m_presses.pressesRead(); }
    std::optional<QList<FocusMovingPress>> focusMovingPressesBefore(quint32 keyCode, quint64 mark) override;
    // Reads the presses the server handled so far (X11KeyPressWatch::catchUp).
    void catchUpKeyPresses() { m_presses.catchUp(); }

private:
    X11KeyPressWatch m_presses;
};

}  // namespace quorvelle
