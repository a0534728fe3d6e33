#pragma once

#include <QPointF>

#include <chrono>
#include <optional>

namespace quorvelle {

struct FocusedTargetSnapshot;

// A press the user made that can move the focus inside a window: a Tab (with or without Shift) or a
// pointer click, or a press that could not be read (counted as either).
struct FocusMovingPress {
    enum class Kind { tab, click, unread };
    Kind kind = Kind::unread;
    std::chrono::steady_clock::time_point at;
    // Where the pointer was as the click was read, in screen points; none where it could not be read.
    std::optional<QPointF> pointer;

    // Whether the press may have taken the focus away from `target`. A terminal takes a Tab for
    // itself (the shell's completion); a click inside the text field that holds the focus leaves the
    // focus there. Anything else may have moved it.
    bool mayMoveFocusFrom(const FocusedTargetSnapshot& target) const;
};

}  // namespace quorvelle
