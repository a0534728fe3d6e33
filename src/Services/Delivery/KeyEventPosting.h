#pragma once

#include "Services/Delivery/FocusMovingPress.h"

#include <QList>
#include <QtGlobal>
#include <chrono>
#include <optional>

namespace quorvelle {

// Synthetic keyboard input as the paste chord needs it.
class KeyEventPosting {
public:
    enum class Key { control, shift, alt, v, insert };

    virtual ~KeyEventPosting() = default;

    // Whether synthetic events can be sent at all (display and extension present).
    virtual bool isAvailable() = 0;
    // The key code that produces the key on the current keyboard map; none when no key does.
    virtual std::optional<quint32> keyCode(Key key) = 0;
    // Modifier keys held down right now, physically or synthetically.
    virtual QList<quint32> heldModifierKeyCodes() = 0;
    virtual void post(quint32 keyCode, bool pressed) = 0;
    // How long ago any key was last pressed, on any window; none when none was seen or it cannot be told.
    virtual std::optional<std::chrono::milliseconds> sinceLastKeyPress() = 0;
    // The same for a press that can move the focus inside a window (Tab, Shift+Tab, a click); where
    // presses cannot be told apart, any key counts.
    virtual std::optional<std::chrono::milliseconds> sinceLastFocusMovingPress() { return sinceLastKeyPress(); }
    // Those presses as far as they can be told apart, oldest first: the newest of them is the one
    // sinceLastFocusMovingPress times. Empty where they cannot be told apart; then any of them counts.
    virtual QList<FocusMovingPress> focusMovingPresses() { return {}; }
    // Where the reading of presses stands now; none where presses are not read in order.
    virtual std::optional<quint64> pressOrderMark() { return std::nullopt; }
    // Once the server handled the press of `keyCode` posted after `mark`: the presses that can move
    // the focus which it handled between the mark and that key, in its order; they reached the
    // application before it. None where that key has not shown yet or that cannot be told.
    virtual std::optional<QList<FocusMovingPress>> focusMovingPressesBefore(quint32 keyCode, quint64 mark) {
        (void)keyCode;
        (void)mark;
        return std::nullopt;
    }
    // Key presses are noted only while watched; a new watch starts with none seen.
    virtual void watchKeyPresses(bool watching) { (void)watching; }
};

}  // namespace quorvelle
