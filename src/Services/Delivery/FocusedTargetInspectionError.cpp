#include "Services/Delivery/FocusedTargetInspectionError.h"

namespace quorvelle {

namespace {

const char* describe(FocusedTargetInspectionError::Case errorCase) {
    switch (errorCase) {
        case FocusedTargetInspectionError::Case::accessibilityPermissionMissing:
            return "accessibility is not available";
        case FocusedTargetInspectionError::Case::frontmostApplicationUnavailable: return "no application has the focus";
        case FocusedTargetInspectionError::Case::focusedElementUnavailable: return "no focused element was found";
    }
    return "focused target inspection failed";
}

}  // namespace

FocusedTargetInspectionError::FocusedTargetInspectionError(Case errorCase)
    : std::runtime_error(describe(errorCase)), m_case(errorCase) {}

FocusedTargetInspectionError FocusedTargetInspectionError::ownWindowInFront() {
    FocusedTargetInspectionError error(Case::frontmostApplicationUnavailable);
    error.m_ownWindowInFront = true;
    return error;
}

FocusedTargetInspectionError FocusedTargetInspectionError::focusInAnotherWindow() {
    FocusedTargetInspectionError error(Case::focusedElementUnavailable);
    error.m_focusInAnotherWindow = true;
    return error;
}

}  // namespace quorvelle
