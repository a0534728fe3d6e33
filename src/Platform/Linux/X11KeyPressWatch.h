#pragma once

#include "Services/Delivery/FocusMovingPress.h"

#include <QList>
#include <QSet>
#include <QSocketNotifier>

#include <chrono>
#include <memory>
#include <optional>

struct _XDisplay;

namespace quorvelle {

// Notes every key press on the display, whichever window it goes to, through XInput 2's raw events
// on a connection of its own, while it is watching: outside a dictation the user's typing elsewhere
// must not wake the app. It tells apart the presses that can move the focus inside a window (Tab,
// with or without Shift, and a click) from those that type. Main thread only.
class X11KeyPressWatch {
public:
    X11KeyPressWatch();
    ~X11KeyPressWatch();
    X11KeyPressWatch(const X11KeyPressWatch&) = delete;
    X11KeyPressWatch& operator=(const X11KeyPressWatch&) = delete;

    // How long ago the last key press came, as far as this watch has seen; none when none came since
    // it started or the display cannot tell. A press not read yet counts as just now.
    std::optional<std::chrono::milliseconds> sinceLastKeyPress();
    // The same for the last Tab or pointer click.
    std::optional<std::chrono::milliseconds> sinceLastFocusMovingPress();
    // Every Tab and click of this watch, oldest first (the oldest beyond a bound merged into an
    // unread press), a click with where the pointer was as it was read.
    QList<FocusMovingPress> focusMovingPresses();
    // Reads every press the server handled before this call, so that what is noted after it is
    // known to come after them.
    void catchUp();
    // Where the reading of presses stands, without reading further: a press read later came after
    // the last read.
    // None while not watching.
    std::optional<quint64> pressesRead() const;
    // Once the server handled a press of `keyCode`, read after `mark`: the Tabs and clicks it handled
    // between the mark and that press, in its order. None where that press has not shown yet, or
    // the presses since the mark are no longer all kept.
    std::optional<QList<FocusMovingPress>> focusMovingPressesBefore(quint32 keyCode, quint64 mark);
    // Starts or ends the watch; a new watch has seen no press yet.
    void setWatching(bool watching);

private:
    void readEvents();
    std::optional<QPointF> pointerPosition();
    void select(bool presses);
    static std::optional<std::chrono::milliseconds> since(
        const std::optional<std::chrono::steady_clock::time_point>& press);

    _XDisplay* m_display = nullptr;
    int m_opcode = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
    // The keys that give Tab (Shift+Tab included) on the keyboard map as the watch began.
    QSet<int> m_tabKeyCodes;
    std::optional<std::chrono::steady_clock::time_point> m_lastPress, m_lastFocusMovingPress;
    QList<FocusMovingPress> m_focusMovingPresses;
    // Every press read lately, in the server's order: a key's code, or a Tab or click as it was told.
    struct ReadPress {
        quint64 number = 0;
        std::optional<quint32> keyCode;
        std::optional<FocusMovingPress> movingFocus;
    };
    QList<ReadPress> m_readPresses;
    quint64 m_pressesRead = 0;
    bool m_watching = false;
};

}  // namespace quorvelle
