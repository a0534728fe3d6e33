#pragma once

#include "Services/Delivery/FocusedTargetSnapshot.h"

#include <chrono>
#include <functional>
#include <optional>

namespace quorvelle {

class SyntheticPastePerforming {
public:
    // Looks at the focus once more when nothing is left to wait for but the keys, told how long ago
    // any key was last pressed (none when none was seen); throws to hold them back. What it throws
    // leaves performPaste as it is.
    using LastLook = std::function<void(std::optional<std::chrono::milliseconds> sinceLastKeyPress)>;

    virtual ~SyntheticPastePerforming() = default;
    // Sends the paste chord, provided the target's application is still in front and `lastLook`,
    // called right before the keys with nothing in between, lets them go.
    // Throws SyntheticPasteError.
    virtual void performPaste(const FocusedTargetSnapshot& target, const LastLook& lastLook) = 0;
};

}  // namespace quorvelle
