#pragma once

#include "Services/Delivery/FocusedTargetSnapshot.h"

namespace quorvelle {

class SyntheticPastePerforming {
public:
    virtual ~SyntheticPastePerforming() = default;
    // Sends the paste chord, provided the target's application is still in front.
    // Throws SyntheticPasteError.
    virtual void performPaste(const FocusedTargetSnapshot& target) = 0;
};

}  // namespace quorvelle
