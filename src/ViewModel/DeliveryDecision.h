#pragma once

#include "Services/Delivery/FocusedTargetSnapshot.h"
#include "Services/Delivery/TextInsertionStrategy.h"
#include "ViewModel/DeliveryRecord.h"

#include <QString>

namespace quorvelle {

// Why a transcript could not go where the dictation started.
enum class DeliveryValidationFailure {
    focusedTargetUnavailable,
    insertionSurfaceChanged,
    frontmostApplicationChanged,
    replacementHintMismatch,
    clipboardPasteVerificationFailed,
};

DeliveryValidationOutcome validationOutcome(DeliveryValidationFailure failure);
// The "runtime.fallback." event code; its status text is fallbackMessage() of it.
QString fallbackCode(DeliveryValidationFailure failure);

// A target that is no longer the same surface: another application in front, or another field.
DeliveryValidationFailure targetChangeFailure(const FocusedTargetSnapshot& captured,
                                              const FocusedTargetSnapshot& current);

// The resolver's choice, unless it picked the clipboard while the clipboard may not be used: then a
// field that can take a direct write gets one.
TextInsertionStrategy effectiveInsertionStrategy(TextInsertionStrategy resolved, bool clipboardFallbackEnabled,
                                                 const FocusedTargetSnapshot& target);

}  // namespace quorvelle
