#include "ViewModel/TranscriptDelivery.h"

#include "Models/FallbackMessage.h"
#include "Services/Delivery/ClipboardWriteError.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"
#include "Services/Delivery/TextInsertionError.h"
#include "Support/CancellationError.h"
#include "ViewModel/SessionTexts.h"

#include <algorithm>

namespace quorvelle {

namespace {

const QString kUnexpectedEventText = QStringLiteral("Beklenmeyen bir hata olustu. Tekrar deneyin.");
const QString kClipboardDisabled = QStringLiteral("Clipboard fallback kapalı. Metin otomatik eklenemedi.");

// An application whose accessibility came up only after recording started (a window opened a moment
// before) was taken for a window without a tree: the field now focused in that same process's window
// is what the window stood for. (A password field found there never gets this far.)
bool treeCameUpSinceCapture(const FocusedTargetSnapshot& captured, const FocusedTargetSnapshot& current) {
    return captured.isWindowOnly && !current.isWindowOnly &&
           current.app.processIdentifier == captured.app.processIdentifier;
}

}  // namespace

TranscriptDelivery::TranscriptDelivery(const AppBootstrap& services, ViewModelContext& context, DeliveryOutlets outlets)
    : m_context(context),
      m_outlets(std::move(outlets)),
      m_sessionCoordinator(services.sessionCoordinator),
      m_focusedTargetInspector(services.focusedTargetInspector),
      m_textInsertionStrategyResolver(services.textInsertionStrategyResolver),
      m_textInserter(services.textInserter),
      m_pasteboardWriter(services.pasteboardWriter),
      m_focusChangeAwaiter(services.focusChangeAwaiter),
      m_paste(*this, services.syntheticPastePerformer, services.textInserter) {}

QCoro::Task<void> TranscriptDelivery::deliverTranscript(QString text, double durationSeconds,
                                                        std::stop_token stopToken) {
    const std::optional<FocusedTargetSnapshot> captured = m_outlets.focusedTarget();
    if (!captured) {
        // Nothing to compare with, but the words go to the clipboard only where the focus is not on
        // a password field.
        co_await m_focusedTargetInspector->awaitFrontApplication(stopToken);
        if (focusRestsOnSecureField()) {
            refuseSecureField();
            co_return;
        }
        const QString code = fallbackCode(DeliveryValidationFailure::focusedTargetUnavailable);
        m_record.validationOutcome = DeliveryValidationOutcome::focusedTargetUnavailable;
        m_record.insertionStrategy.reset();
        m_record.insertionFailureReason = fallbackMessage(code);
        fallbackCopy(text, durationSeconds, code, fallbackMessage(code));
        co_return;
    }
    const Validation validation = co_await settledDeliveryTarget(*captured, stopToken);
    if (std::holds_alternative<SecureFieldFocused>(validation)) {
        refuseSecureField();
        co_return;
    }
    if (const auto* failure = std::get_if<DeliveryValidationFailure>(&validation)) {
        m_record.insertionStrategy.reset();
        copyAfterTargetChanged(text, durationSeconds, *failure);
        co_return;
    }
    const FocusedTargetSnapshot& current = std::get<FocusedTargetSnapshot>(validation);
    m_record.validationOutcome = DeliveryValidationOutcome::validatedSameSurface;
    const TextInsertionStrategy strategy = effectiveInsertionStrategy(m_textInsertionStrategyResolver->resolve(current),
                                                                      m_outlets.isClipboardFallbackEnabled(), current);
    m_record.insertionFailureReason.reset();
    QStringList reasons;

    if (strategy == TextInsertionStrategy::clipboardPaste) {
        m_record.insertionStrategy = TextInsertionStrategy::clipboardPaste;
        co_await m_paste.deliver(text, current, durationSeconds, ClipboardPasteDelivery::Entry::primary, reasons,
                                 stopToken);
        co_return;
    }
    m_record.insertionStrategy = TextInsertionStrategy::accessibilityValueWrite;
    std::optional<TextInsertionError::Case> failure;
    try {
        performDirectInsertion(text, durationSeconds, current);
    } catch (const TextInsertionError& error) {
        failure = error.errorCase();
    }
    if (!failure) co_return;

    reasons.append(SessionTexts::insertionFailureReason(*failure));
    m_record.insertionFailureReason = reasons.join(QStringLiteral(" | "));
    if (*failure == TextInsertionError::Case::replacementHintMismatch) {
        m_record.validationOutcome = DeliveryValidationOutcome::replacementHintMismatch;
        const QString code = fallbackCode(DeliveryValidationFailure::replacementHintMismatch);
        fallbackCopy(text, durationSeconds, code, fallbackMessage(code));
    } else if (current.isClipboardPasteCandidate()) {
        m_record.insertionStrategy = TextInsertionStrategy::clipboardPaste;
        co_await m_paste.deliver(text, current, durationSeconds, ClipboardPasteDelivery::Entry::afterDirectWriteFailure,
                                 reasons, stopToken);
    } else {
        fallbackCopy(text, durationSeconds, QStringLiteral("runtime.fallback.clipboard_copied"),
                     QStringLiteral("Metin panoya kopyalandı."));
    }
}

QCoro::Task<TranscriptDelivery::Validation> TranscriptDelivery::settledDeliveryTarget(FocusedTargetSnapshot captured,
                                                                                      std::stop_token stopToken) {
    // Where the focus rests on the recorded element, the text goes at once. While the hot key is
    // held, GTK applications and Firefox take the focus away; after it lets go they hand it back,
    // some through a container or a menu (Firefox a window-sized panel, Writer its root pane), in a
    // few milliseconds or, under load, most of a second. Until then every focus event brings a new
    // look, within a bound. Just after the release another element holding the focus may be on that
    // way too; later it means the user moved on.
    const ViewModelEnvironment& environment = m_context.environment();
    const quint64 start = environment.uptimeNanosecondsProvider();
    const bool justReleased = m_keyReleasedAt && double(start - *m_keyReleasedAt) / 1e9 < kFocusSettleLimitSeconds;
    m_keyReleasedAt.reset();
    // A password field just after the release may be a field the focus passes on its way back (or
    // one that a window whose focus was unknown shows beside it): it is looked at again, like
    // another field, until the focus settles; then nothing goes there.
    const auto unsettled = [this, justReleased](const Validation& validation) {
        // The user opened one of our own windows: the focus is not on its way back to a field.
        if (m_ownWindowInFront) return false;
        if (m_focusChangeAwaiter && m_focusChangeAwaiter->isFocusAway()) return true;
        if (std::holds_alternative<FocusedTargetSnapshot>(validation)) return false;
        const auto* failure = std::get_if<DeliveryValidationFailure>(&validation);
        return (failure && *failure == DeliveryValidationFailure::focusedTargetUnavailable) || justReleased;
    };
    Validation validation = co_await lookAgain(captured, stopToken);
    for (int event = 0; event < kFocusSettleEventLimit && unsettled(validation); ++event) {
        const double limit = m_focusInAnotherWindow ? kFocusInAnotherWindowLimitSeconds : kFocusSettleLimitSeconds;
        const double remaining = limit - double(environment.uptimeNanosecondsProvider() - start) / 1e9;
        if (remaining <= 0) break;
        co_await nextFocusChange(remaining, stopToken);
        throwIfStopped(stopToken);
        validation = co_await lookAgain(captured, stopToken);
    }
    co_return validation;
}

QCoro::Task<TranscriptDelivery::Validation> TranscriptDelivery::lookAgain(FocusedTargetSnapshot captured,
                                                                          std::stop_token stopToken) {
    const Validation validation = validateDeliveryTarget(captured);
    const std::optional<FocusedTargetSnapshot> current = m_outlets.focusedTarget();
    if (!current || !current->isApplicationArriving) co_return validation;
    co_await m_focusedTargetInspector->awaitFrontApplication(stopToken);
    co_return validateDeliveryTarget(captured);
}

QCoro::Task<void> TranscriptDelivery::nextFocusChange(double timeoutSeconds, std::stop_token stopToken) {
    if (m_focusChangeAwaiter) return m_focusChangeAwaiter->nextFocusChange(timeoutSeconds, std::move(stopToken));
    // Nothing reports the focus's moves: look again after a short step.
    return m_context.environment().focusSettleSleep(std::min(timeoutSeconds, kFocusSettleStepSeconds),
                                                    std::move(stopToken));
}

QCoro::Task<bool> TranscriptDelivery::focusReport(qint32 processIdentifier, double timeoutSeconds,
                                                  std::stop_token stopToken) {
    if (m_focusChangeAwaiter)
        co_return co_await m_focusChangeAwaiter->nextFocusReport(processIdentifier, timeoutSeconds, stopToken);
    co_await m_context.environment().focusSettleSleep(timeoutSeconds, stopToken);
    co_return false;
}

TranscriptDelivery::Validation TranscriptDelivery::validateDeliveryTarget(const FocusedTargetSnapshot& captured) {
    FocusedTargetSnapshot current;
    m_ownWindowInFront = false;
    m_focusInAnotherWindow = false;
    try {
        current = m_focusedTargetInspector->reinspect(captured);
    } catch (const FocusedTargetInspectionError& error) {
        m_focusInAnotherWindow = error.isFocusInAnotherWindow();
        m_outlets.publishFocusedTarget(std::nullopt);
        m_record.targetIdentityScore.reset();
        // Another application than the target's is in front: ours.
        m_ownWindowInFront = error.isOwnWindowInFront();
        return m_ownWindowInFront ? DeliveryValidationFailure::frontmostApplicationChanged
                                  : DeliveryValidationFailure::focusedTargetUnavailable;
    } catch (...) {
        m_outlets.publishFocusedTarget(std::nullopt);
        m_record.targetIdentityScore.reset();
        return DeliveryValidationFailure::focusedTargetUnavailable;
    }
    m_outlets.publishFocusedTarget(current);
    // Read again on every road (the field found at the press, a window standing in for it, a field
    // looked for again): a password field, focused or shown where the focus cannot be told, takes
    // nothing, whatever was recorded at the press.
    if (current.element.isSecure()) {
        m_record.targetIdentityScore.reset();
        return SecureFieldFocused{};
    }
    // A container, a menu or an element merely near the focus is no place for text; nor is a window
    // whose application is still on its way to the bus.
    if (!current.hasSettledFocus() || current.isApplicationArriving) {
        m_record.targetIdentityScore.reset();
        return DeliveryValidationFailure::focusedTargetUnavailable;
    }
    const FocusedTargetIdentityScore score = FocusedTargetIdentityScore::compute(current, captured);
    m_record.targetIdentityScore = score;
    if (score.isSameSurface || treeCameUpSinceCapture(captured, current)) return current;
    return targetChangeFailure(captured, current);
}

void TranscriptDelivery::performDirectInsertion(const QString& text, double durationSeconds,
                                                const FocusedTargetSnapshot& target) {
    if (!isDelivering()) return;
    if (m_sessionCoordinator->state().kind() == SessionState::Kind::uploading) m_sessionCoordinator->beginInjecting();

    std::optional<TextReplacementHint> hint;
    const auto& last = m_record.directInsertionContext;
    if (m_outlets.isLastDictationAutoReplaceEnabled() && last &&
        FocusedTargetIdentityScore::compute(target, last->target).isSameSurface) {
        hint = TextReplacementHint{last->insertedRange, last->transcript};
    }
    // Held before the write: the words may show in the field before the call returns, and a
    // process killed from then on keeps them. Taken back when the write failed; the road the words
    // take instead keeps its own entry.
    holdHistory(text, durationSeconds, TranscriptHistoryCompletionKind::inserted);
    TextInsertionResult result;
    try {
        result = m_textInserter->insert(text, target, hint);
    } catch (...) {
        withdrawHeldHistory();
        throw;
    }

    if (result.insertedRange)
        m_record.directInsertionContext =
            LastDirectInsertionContext{target, result.insertedText.value_or(text), *result.insertedRange};
    else
        m_record.directInsertionContext.reset();
    m_record.insertionOutcome = TranscriptHistoryCompletionKind::inserted;
    m_record.insertionFailureReason.reset();
    // The held entry ends before anything reacts to the success.
    appendHistory(text, durationSeconds, TranscriptHistoryCompletionKind::inserted);
    m_sessionCoordinator->markSuccess();
    const SessionTexts::Insertion insertion = SessionTexts::insertionResult(result.outcome);
    m_context.setInlineMessage(insertion.message);
    m_context.recordEvent(DiagnosticsEventLevel::info, insertion.code, insertion.message);
}

void TranscriptDelivery::fallbackCopy(const QString& text, double durationSeconds, const QString& code,
                                      const QString& message, bool writeToPasteboard) {
    if (!isDelivering()) return;
    if (!m_outlets.isClipboardFallbackEnabled()) {
        failClipboardFallbackDisabled();
        return;
    }
    if (writeToPasteboard) {
        try {
            m_pasteboardWriter->writeString(text);
        } catch (...) {
            m_context.recordEvent(DiagnosticsEventLevel::error, QStringLiteral("runtime.fallback.clipboard_failed"),
                                  kUnexpectedEventText);
            throw ReportedDeliveryFailure(QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure));
        }
    }
    m_record.directInsertionContext.reset();
    m_record.insertionOutcome = TranscriptHistoryCompletionKind::copiedToClipboard;
    m_sessionCoordinator->markFallbackCopied();
    appendHistory(text, durationSeconds, TranscriptHistoryCompletionKind::copiedToClipboard);
    m_context.setInlineMessage(message);
    m_context.recordEvent(DiagnosticsEventLevel::warning, code, message);
}

void TranscriptDelivery::copyAfterTargetChanged(const QString& text, double durationSeconds,
                                                DeliveryValidationFailure failure, bool writeToPasteboard) {
    const QString code = fallbackCode(failure);
    m_record.validationOutcome = validationOutcome(failure);
    m_record.insertionFailureReason = fallbackMessage(code);
    fallbackCopy(text, durationSeconds, code, fallbackMessage(code), writeToPasteboard);
}

void TranscriptDelivery::failClipboardFallbackDisabled() {
    m_record.directInsertionContext.reset();
    m_record.insertionStrategy.reset();
    m_record.insertionOutcome.reset();
    m_record.insertionFailureReason = kClipboardDisabled;
    m_sessionCoordinator->fail(QuorvelleError(QuorvelleErrorCase::unsupportedTarget));
    m_context.setInlineMessage(kClipboardDisabled);
    m_context.recordEvent(DiagnosticsEventLevel::error, QStringLiteral("runtime.fallback.clipboard_disabled"),
                          kClipboardDisabled);
}

bool TranscriptDelivery::focusRestsOnSecureField() {
    try {
        return m_focusedTargetInspector->inspect().element.isSecure();
    } catch (...) {
        return false;
    }
}

void TranscriptDelivery::refuseSecureField() {
    if (!isDelivering()) return;
    const SessionTexts::Block block = SessionTexts::blocked(SessionBlockReason::secureField);
    m_record.validationOutcome.reset();
    m_record.targetIdentityScore.reset();
    m_record.directInsertionContext.reset();
    m_record.insertionStrategy.reset();
    m_record.insertionOutcome.reset();
    m_record.insertionFailureReason = block.message;
    m_sessionCoordinator->refuseDelivery(SessionBlockReason::secureField);
    m_context.setInlineMessage(block.message);
    m_context.recordEvent(DiagnosticsEventLevel::warning, block.code, block.message);
}

void TranscriptDelivery::reportWordsMayBeInSecureField() {
    if (!isDelivering()) return;
    const QString message = SessionTexts::wordsMayBeInSecureField(m_context.strings());
    m_record.directInsertionContext.reset();
    m_record.insertionOutcome.reset();
    m_record.insertionFailureReason = message;
    m_sessionCoordinator->fail(QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure));
    m_context.setInlineMessage(message);
    m_context.recordEvent(DiagnosticsEventLevel::error, QStringLiteral("runtime.fallback.secure_field_may_hold_words"),
                          SessionTexts::wordsMayBeInSecureField(AppStrings()));
}

void TranscriptDelivery::appendHistory(const QString& text, double durationSeconds,
                                       TranscriptHistoryCompletionKind kind) {
    m_outlets.appendTranscriptHistory(text, durationSeconds, kind);
}

void TranscriptDelivery::holdHistory(const QString& text, double durationSeconds,
                                     TranscriptHistoryCompletionKind kind) {
    if (m_outlets.holdTranscriptHistory) m_outlets.holdTranscriptHistory(text, durationSeconds, kind);
}

void TranscriptDelivery::withdrawHeldHistory() {
    if (m_outlets.withdrawHeldTranscriptHistory) m_outlets.withdrawHeldTranscriptHistory();
}

void TranscriptDelivery::noteHotkeyReleased() {
    m_keyReleasedAt = m_context.environment().uptimeNanosecondsProvider();
}

bool TranscriptDelivery::isDelivering() const {
    const SessionState::Kind kind = m_sessionCoordinator->state().kind();
    return kind == SessionState::Kind::uploading || kind == SessionState::Kind::injecting;
}

}  // namespace quorvelle
