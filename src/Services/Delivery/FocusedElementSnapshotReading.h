#pragma once

#include "Services/Delivery/AccessibilityElement.h"
#include "Services/Delivery/RawFocusedElementMetadata.h"

#include <QtGlobal>

namespace quorvelle {

// The chosen element together with the metadata read from that same element.
struct FocusedElementReading {
    AccessibilityElementRef element;
    RawFocusedElementMetadata metadata;
    // The element holds the keyboard focus, not merely one near it.
    bool isFocused = false;
};

class FocusedElementSnapshotReading {
public:
    virtual ~FocusedElementSnapshotReading() = default;
    // No element when the process has no accessibility tree at all. Throws
    // FocusedTargetInspectionError.
    virtual FocusedElementReading readFocusedElement(qint32 processIdentifier) = 0;
    // The same where `earlier` is the element chosen by an earlier reading (null for none).
    virtual FocusedElementReading readFocusedElement(qint32 processIdentifier, const AccessibilityElement* earlier) {
        (void)earlier;
        return readFocusedElement(processIdentifier);
    }
};

}  // namespace quorvelle
