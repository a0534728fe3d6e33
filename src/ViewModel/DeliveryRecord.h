#pragma once

#include "Services/Delivery/FocusedTargetSnapshot.h"
#include "Services/Delivery/TextRange.h"

#include <QString>

namespace quorvelle {

// The result of the check that the text still goes where the dictation started.
enum class DeliveryValidationOutcome {
    validatedSameSurface,
    focusedTargetUnavailable,
    insertionSurfaceChanged,
    frontmostApplicationChanged,
    replacementHintMismatch,
    clipboardPasteVerificationFailed,
};

// The last text written directly into a field, which the next dictation may replace.
struct LastDirectInsertionContext {
    FocusedTargetSnapshot target;
    QString transcript;
    TextRange insertedRange;
};

}  // namespace quorvelle
