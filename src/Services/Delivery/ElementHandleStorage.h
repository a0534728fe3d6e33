#pragma once

#include "Services/Delivery/AccessibilityElement.h"
#include "Services/Delivery/FocusedTargetSnapshot.h"

namespace quorvelle {

// A FocusedElementHandle on this desktop carries one AccessibilityElement; these two are the only
// places that put it in or take it out.
std::shared_ptr<const FocusedElementHandle> makeElementHandle(AccessibilityElementRef element);
// Null when the handle is absent or empty.
AccessibilityElementRef elementOf(const std::shared_ptr<const FocusedElementHandle>& handle);

}  // namespace quorvelle
