#include "Services/Delivery/RawFocusedElementMetadata.h"

#include "Services/Delivery/FocusedTargetSnapshot.h"
#include "Services/Delivery/FocusedTargetTables.h"

namespace quorvelle {

bool RawFocusedElementMetadata::isWritableTextCandidate() const {
    FocusedElementMetadata roles;
    roles.role = role;
    roles.subrole = subrole;
    return roles.hasTextInputRole() && isEnabled.value_or(true) && (isValueSettable || isSelectedTextRangeSettable);
}

int RawFocusedElementMetadata::candidateScore() const {
    if (subrole == FocusedTargetTables::secureTextFieldSubrole) return kSecureScore;
    const bool settable = isValueSettable || isSelectedTextRangeSettable;
    const bool looksEditable = isEditable.value_or(false) || isWritableTextCandidate();
    if (settable) return looksEditable ? kWritableScore : 70;
    return looksEditable ? 40 : 0;
}

}  // namespace quorvelle
