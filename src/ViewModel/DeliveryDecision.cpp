#include "ViewModel/DeliveryDecision.h"

namespace quorvelle {

DeliveryValidationOutcome validationOutcome(DeliveryValidationFailure failure) {
    using F = DeliveryValidationFailure;
    using O = DeliveryValidationOutcome;
    switch (failure) {
        case F::focusedTargetUnavailable: return O::focusedTargetUnavailable;
        case F::insertionSurfaceChanged: return O::insertionSurfaceChanged;
        case F::frontmostApplicationChanged: return O::frontmostApplicationChanged;
        case F::replacementHintMismatch: return O::replacementHintMismatch;
        case F::clipboardPasteVerificationFailed: break;
    }
    return O::clipboardPasteVerificationFailed;
}

QString fallbackCode(DeliveryValidationFailure failure) {
    using F = DeliveryValidationFailure;
    switch (failure) {
        case F::focusedTargetUnavailable: return QStringLiteral("runtime.fallback.focused_target_unavailable");
        case F::insertionSurfaceChanged: return QStringLiteral("runtime.fallback.target_surface_changed");
        case F::frontmostApplicationChanged: return QStringLiteral("runtime.fallback.frontmost_application_changed");
        case F::replacementHintMismatch: return QStringLiteral("runtime.fallback.replacement_hint_mismatch");
        case F::clipboardPasteVerificationFailed: break;
    }
    return QStringLiteral("runtime.fallback.clipboard_paste_verification_failed");
}

DeliveryValidationFailure targetChangeFailure(const FocusedTargetSnapshot& captured,
                                              const FocusedTargetSnapshot& current) {
    return !captured.app.isSameApplication(current.app) ? DeliveryValidationFailure::frontmostApplicationChanged
                                                        : DeliveryValidationFailure::insertionSurfaceChanged;
}

std::optional<SessionBlockReason> dictationBlockReason(const FocusedTargetSnapshot& target,
                                                       bool clipboardFallbackEnabled) {
    const std::optional<SessionBlockReason> reason = target.blockReason();
    if (reason != SessionBlockReason::noWritableTarget || !clipboardFallbackEnabled ||
        !target.isClipboardPasteCandidate())
        return reason;
    // The delivery waits for the focus to rest on an element that takes text before it pastes.
    const bool takesText = target.isWindowOnly || target.element.hasTextInputRole() || target.element.isEditable;
    return takesText ? std::nullopt : reason;
}

TextInsertionStrategy effectiveInsertionStrategy(TextInsertionStrategy resolved, bool clipboardFallbackEnabled,
                                                 const FocusedTargetSnapshot& target) {
    if (resolved == TextInsertionStrategy::accessibilityValueWrite || clipboardFallbackEnabled) return resolved;
    const FocusedElementMetadata& element = target.element;
    const bool unwritable = element.isSecure() || !element.isEnabled ||
                            (!element.supportsValueWrite && !element.supportsSelectedTextRangeWrite) ||
                            (!element.hasTextInputRole() && !element.isEditable);
    if (unwritable || !element.supportsValueWrite) return TextInsertionStrategy::clipboardPaste;
    return TextInsertionStrategy::accessibilityValueWrite;
}

}  // namespace quorvelle
