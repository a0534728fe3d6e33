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
    // No element when the process has no accessibility tree at all. `earlier` is the element an
    // earlier reading chose, when this one checks that choice again (null otherwise). Throws
    // FocusedTargetInspectionError.
    virtual FocusedElementReading readFocusedElement(qint32 processIdentifier, const AccessibilityElement* earlier) = 0;
};

}  // namespace quorvelle
