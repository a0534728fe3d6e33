#pragma once

#include "Services/Delivery/FocusedTargetSnapshot.h"

#include <QCoroTask>

#include <stop_token>

namespace quorvelle {

class FocusedTargetInspecting {
public:
    virtual ~FocusedTargetInspecting() = default;
    // Which element of which application would receive text now, read without waiting: a window whose
    // application is on its way to the accessibility bus comes back as that window, marked
    // isApplicationArriving. Throws FocusedTargetInspectionError.
    virtual FocusedTargetSnapshot inspect() = 0;
    // The same, asked again about a target found before: where the focus still rests on its
    // element, the inspection may spare the look around it that chose that element.
    virtual FocusedTargetSnapshot reinspect(const FocusedTargetSnapshot& earlier) {
        (void)earlier;
        return inspect();
    }
    // Where the front window's application is on its way to the accessibility bus, returns once it
    // came or was given up on (a bounded while, once per process), without holding the thread; at once
    // otherwise. A stop ends it with CancellationError; nothing else is thrown (the look that follows
    // tells what went wrong).
    virtual QCoro::Task<void> awaitFrontApplication(std::stop_token stopToken) {
        (void)stopToken;
        co_return;
    }
};

}  // namespace quorvelle
