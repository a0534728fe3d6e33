#pragma once

#include "Services/Delivery/FocusedTargetSnapshot.h"

#include <QCoroTask>

#include <exception>
#include <optional>
#include <stop_token>

namespace quorvelle {

// What the look as a recording stops found: the window in front, the element holding the focus there
// (or the window standing for it), or why it could not be read.
struct PasswordFieldLook {
    // None where not even the window in front could be told.
    std::optional<FocusedAppMetadata> frontWindow;
    std::optional<FocusedTargetSnapshot> focused;
    // The element says itself that it holds the focus now: not one kept from before a window change.
    bool claimsFocus = false;
    std::exception_ptr failure;
};

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
    // Only what tells whether a password field holds the focus in the front window, for the look as a
    // recording stops: where the focus still rests on `earlier` (the dictation's target, when known),
    // nothing around it is read. Throws nothing: a failure is in the answer.
    virtual PasswordFieldLook lookForPasswordField(const FocusedTargetSnapshot* earlier) {
        PasswordFieldLook look;
        try {
            FocusedTargetSnapshot target = earlier ? reinspect(*earlier) : inspect();
            look.frontWindow = target.app;
            look.claimsFocus = target.isFocusedElement && !target.isWindowOnly;
            look.focused = std::move(target);
        } catch (...) {
            look.failure = std::current_exception();
        }
        return look;
    }
    // Where the front window's application is on its way to the accessibility bus, returns once it
    // came or was given up on (a bounded while, once per process), without holding the thread; at once
    // otherwise. A stop ends it with CancellationError; nothing else is thrown (the look that follows
    // tells what went wrong).
    virtual QCoro::Task<void> awaitFrontApplication(std::stop_token stopToken) {
        (void)stopToken;
        co_return;
    }
    // Whether the application of a target found before answers a question about its element now;
    // true where there is no element to ask (a window standing for one).
    virtual bool answers(const FocusedTargetSnapshot& target) = 0;
};

}  // namespace quorvelle
