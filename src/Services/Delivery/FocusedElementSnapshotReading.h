#pragma once

#include "Services/Delivery/AccessibilityElement.h"
#include "Services/Delivery/FocusedTargetSnapshot.h"
#include "Services/Delivery/RawFocusedElementMetadata.h"

#include <QCoroTask>
#include <QtGlobal>

#include <stop_token>

namespace quorvelle {

// The chosen element together with the metadata read from that same element.
struct FocusedElementReading {
    AccessibilityElementRef element;
    RawFocusedElementMetadata metadata;
    // The element holds the keyboard focus, not merely one near it.
    bool isFocused = false;
    // No element because the process's application is on its way to the accessibility bus: what its
    // window holds cannot be read yet.
    bool isApplicationArriving = false;
};

class FocusedElementSnapshotReading {
public:
    virtual ~FocusedElementSnapshotReading() = default;
    // What holds the focus in the front window `app`. No element when its process has no accessibility
    // tree at all. `earlier` is the element an earlier reading chose, when this one checks that choice
    // again (null otherwise). Throws FocusedTargetInspectionError, also while the application still
    // names an element of another of its windows as the focus.
    virtual FocusedElementReading readFocusedElement(const FocusedAppMetadata& app,
                                                     const AccessibilityElement* earlier) = 0;
    // Enough to tell whether a password field holds the focus: the focused element where it is
    // `earlier` or no password field is near it, else that password field; otherwise as
    // readFocusedElement. Throws FocusedTargetInspectionError.
    virtual FocusedElementReading readFocusedSecurity(const FocusedAppMetadata& app,
                                                      const AccessibilityElement* earlier) {
        return readFocusedElement(app, earlier);
    }
    // Returns once the application of a process on its way to the accessibility bus came or was given
    // up on (a bounded while, once per process), without holding the thread; at once for any other
    // process. A stop ends it with CancellationError.
    virtual QCoro::Task<void> awaitApplication(qint32 processIdentifier, std::stop_token stopToken) = 0;
    // Whether the element's application answers a question about it now.
    virtual bool answers(const AccessibilityElement& element) = 0;
};

}  // namespace quorvelle
