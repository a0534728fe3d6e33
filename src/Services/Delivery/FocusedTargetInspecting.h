#pragma once

#include "Services/Delivery/FocusedTargetSnapshot.h"

namespace quorvelle {

class FocusedTargetInspecting {
public:
    virtual ~FocusedTargetInspecting() = default;
    // Which element of which application would receive text now. Throws FocusedTargetInspectionError.
    virtual FocusedTargetSnapshot inspect() = 0;
    // The same, asked again about a target found before: where the focus still rests on its
    // element, the inspection may spare the look around it that chose that element.
    virtual FocusedTargetSnapshot reinspect(const FocusedTargetSnapshot& earlier) {
        (void)earlier;
        return inspect();
    }
};

}  // namespace quorvelle
