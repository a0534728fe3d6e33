#pragma once

#include "Services/Delivery/FocusedTargetSnapshot.h"
#include "Services/Delivery/TextInsertionStrategy.h"
#include "ViewModel/DeliveryRecord.h"

#include <QString>

#include <optional>

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

// Why dictating into `target` must not start, judged as the delivery will judge it: a writable
// field passes; with the clipboard allowed, so does an element that takes text by paste alone (a
// field without a settable value, a window with no tree). A page or panel that takes no text never
// passes, since the delivery would never write or paste into it. None when the dictation may start.
std::optional<SessionBlockReason> dictationBlockReason(const FocusedTargetSnapshot& target,
                                                       bool clipboardFallbackEnabled);

// The resolver's choice, unless it picked the clipboard while the clipboard may not be used: then a
// field that can take a direct write gets one.
TextInsertionStrategy effectiveInsertionStrategy(TextInsertionStrategy resolved, bool clipboardFallbackEnabled,
                                                 const FocusedTargetSnapshot& target);

}  // namespace quorvelle
