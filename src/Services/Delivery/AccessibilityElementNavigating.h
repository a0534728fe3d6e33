#pragma once

#include "Services/Delivery/AccessibilityElement.h"
#include "Services/Delivery/RawFocusedElementMetadata.h"

#include <QList>
#include <QtGlobal>

namespace quorvelle {

// The reads the focused-element search makes of another application's accessibility tree. Element
// lookups answer null when there is nothing; they throw FocusedTargetInspectionError only when
// accessibility is unavailable or the application stopped answering.
class AccessibilityElementNavigating {
public:
    virtual ~AccessibilityElementNavigating() = default;

    // The element that has the keyboard focus inside the application of that process.
    virtual AccessibilityElementRef focusedElement(qint32 processIdentifier) = 0;
    // The application's active window.
    virtual AccessibilityElementRef focusedWindow(qint32 processIdentifier) = 0;
    virtual AccessibilityElementRef parent(const AccessibilityElement& element) = 0;
    virtual QList<AccessibilityElementRef> children(const AccessibilityElement& element) = 0;
    // Never fails: what cannot be read stays absent.
    virtual RawFocusedElementMetadata readMetadata(const AccessibilityElement& element) = 0;
};

}  // namespace quorvelle
