#pragma once

#include "Services/Delivery/FocusedTargetSnapshot.h"

namespace quorvelle {

class FocusedTargetInspecting {
public:
    virtual ~FocusedTargetInspecting() = default;
    // Which element of which application would receive text now. Throws FocusedTargetInspectionError.
    virtual FocusedTargetSnapshot inspect() = 0;
};

}  // namespace quorvelle
