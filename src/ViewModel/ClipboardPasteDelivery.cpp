#include "ViewModel/ClipboardPasteDelivery.h"

#include "Models/FallbackMessage.h"
#include "Services/Delivery/ClipboardWriteError.h"
#include "Services/Delivery/PasteKeysOvertaken.h"
#include "Services/Delivery/TextInsertionError.h"
#include "Services/Delivery/TextInsertionVerifying.h"
#include "Support/CancellationError.h"
#include "ViewModel/SessionTexts.h"
#include "ViewModel/TranscriptDelivery.h"

#include <QCoreApplication>
#include <QScopeGuard>

#include <exception>
#include <memory>

namespace quorvelle {

namespace {

const QString kUnexpectedEventText = QStringLiteral("Beklenmeyen bir hata olustu. Tekrar deneyin.");
const QString kCopied = QStringLiteral("Metin panoya kopyalandı.");

// Thrown by the last look to keep the keys back; never leaves this file.
struct KeysHeldBack {};

// The focus was between two places: a look the application did not answer in time, a container on
// the way.
bool isUnsettled(const TranscriptDelivery::Validation& look) {
    const auto* failure = std::get_if<DeliveryValidationFailure>(&look);
    return failure && *failure == DeliveryValidationFailure::focusedTargetUnavailable;
}

}  // namespace

ClipboardPasteDelivery::ClipboardPasteDelivery(TranscriptDelivery& delivery,
                                               std::shared_ptr<SyntheticPastePerforming> pastePerformer,
                                               std::shared_ptr<TextInserting> textInserter)
    : m_delivery(delivery),
      m_syntheticPastePerformer(std::move(pastePerformer)),
      m_textInserter(std::move(textInserter)) {}

ClipboardPasteDelivery::~ClipboardPasteDelivery() {
    QObject::disconnect(m_quitGiveBack);
    giveBackBeforeTheEnd();
    // Nothing is left to judge the application's requests by.
    m_delivery.pasteboard().judgeRequests({});
}

QCoro::Task<void> ClipboardPasteDelivery::deliver(QString text, FocusedTargetSnapshot target, double durationSeconds,
                                                  Entry entry, QStringList reasons, std::stop_token stopToken) {
    TranscriptDelivery& delivery = m_delivery;
    // The waits below may end after the view model went (the application's end): nothing of it is
    // touched then.
    const std::weak_ptr<const bool> alive = m_alive;
    if (!delivery.isDelivering()) co_return;
    if (delivery.session().state().kind() == SessionState::Kind::uploading) delivery.session().beginInjecting();
    if (!delivery.isClipboardFallbackEnabled()) {
        delivery.failClipboardFallbackDisabled();
        co_return;
    }

    const QList<ClipboardItemSnapshot> saved = delivery.pasteboard().snapshot();
    auto* verifier = dynamic_cast<TextInsertionVerifying*>(m_textInserter.get());
    // What the field holds before the paste: the check afterwards looks for the change there.
    const std::optional<TextInsertionPoint> before = verifier ? verifier->insertionPoint(target) : std::nullopt;
    const QString pasted = verifier ? verifier->textToPaste(text, before) : text;
    try {
        delivery.pasteboard().writeString(pasted);
    } catch (...) {
        // A failed write may have cleared the clipboard already: the user's contents go back.
        restoreClipboard(saved);
        delivery.context().recordEvent(DiagnosticsEventLevel::error,
                                       QStringLiteral("runtime.fallback.clipboard_failed"), kUnexpectedEventText);
        throw ReportedDeliveryFailure(QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure));
    }
    // Until the outcome below; a wait that ends after this object went leaves it alone.
    const auto settled = qScopeGuard([this, alive = std::weak_ptr<const bool>(m_alive), serving = serveOver(saved)] {
        if (!alive.expired()) settle(serving);
    });
    // The field the keys go to is the one the last look before them finds, not the one chosen
    // before the waits for the clipboard, the modifiers and a terminal.
    FocusedTargetSnapshot sentTo = target;
    std::optional<SyntheticPasteError::Case> notSent;
    std::optional<TranscriptDelivery::Validation> heldBack;
    // The entry is in the history before the keys go: words that show in a field are never lost to
    // a kill. It is withdrawn when the keys are held back after all.
    bool held = false;
    // Whether keys were ever refused the words: the clipboard refuses them until served anew.
    bool refused = false;
    const auto withdrawIfHeld = [&] {
        if (held) delivery.withdrawHeldHistory();
        held = false;
    };
    // What the look at the application's own request for the words found, where it refused them.
    std::optional<TranscriptDelivery::Validation> refusedAtRequest;
    // From the keys' order to the outcome, an application that asks for the words late (held up) is
    // refused them while a password field holds its focus as it tells it then, and it reported its
    // focus moving since the keys: a key it handled before ours (a Tab told late by a page held up)
    // may have taken the focus there, while a password field it named before the keys was the last
    // look's to judge (a page may keep naming one it left). A busy application may name a new object
    // for the very field (WebKitGTK): no reason to refuse.
    // One that cannot answer then (it waits for the words on the thread that serves its
    // accessibility: Firefox, Qt, Chromium) is refused them at once, as nothing tells where a key
    // before ours took its focus, and Firefox gives up on words that come a second late. Its request
    // showed that it handled every key before ours: once it could tell where they took its focus,
    // new keys go after a new look, and their late request gets the words while it reported no move
    // since that look began.
    quint64 keysAt = 0;  // uptime, in nanoseconds
    quint64 lookBegan = 0;
    // Set where this attempt's request was refused so, and where an earlier attempt's was.
    bool untoldAtRequest = false, untoldBefore = false;
    const auto uptime = [&delivery] { return delivery.context().environment().uptimeNanosecondsProvider(); };
    delivery.pasteboard().judgeRequests(
        [&delivery, &sentTo, &refusedAtRequest, &keysAt, &lookBegan, &untoldAtRequest, &untoldBefore, uptime, alive] {
            if (alive.expired()) return true;
            // An application that asks at once handled our keys at once, right after the last look; one
            // that asks late was held up, and may have handled a key before ours only since.
            const std::chrono::nanoseconds sinceKeys(uptime() - keysAt);
            if (sinceKeys < kPromptRequest) return true;
            const qint32 application = sentTo.app.processIdentifier;
            if (!delivery.applicationAnswers(sentTo)) {
                const std::optional<std::chrono::milliseconds> report = delivery.sinceFocusReport(application);
                if (untoldBefore && (!report || *report > std::chrono::nanoseconds(uptime() - lookBegan))) return true;
                untoldAtRequest = true;
                return false;
            }
            // The look takes in the focus events that came meanwhile.
            TranscriptDelivery::Validation look = delivery.validateDeliveryTarget(sentTo);
            if (!std::holds_alternative<TranscriptDelivery::SecureFieldFocused>(look)) return true;
            const std::optional<std::chrono::milliseconds> report = delivery.sinceFocusReport(application);
            if (!report || *report > std::chrono::nanoseconds(uptime() - keysAt)) return true;
            refusedAtRequest = std::move(look);
            return false;
        });
    const auto unjudged = qScopeGuard([this, alive] {
        if (alive.expired()) return;
        m_keysSent = false;
        m_delivery.pasteboard().judgeRequests({});
    });
    for (int attempt = 0; attempt < kLastLookAttempts; ++attempt) {
        heldBack.reset();
        refusedAtRequest.reset();
        untoldAtRequest = false;
        bool awaitReport = false;
        const SyntheticPastePerforming::LastLook lastLook = [&](std::optional<std::chrono::milliseconds> sinceMove) {
            // A Tab or a click during the dictation may have moved the focus where the application's
            // accessibility does not show it yet (Firefox hands the key from one process to another),
            // and its tree then names the field the focus left: it is believed only once the
            // application reported a focus gain after that press. A window off the bus reports
            // nothing; the look at it is the window itself.
            if (sinceMove && !target.isWindowOnly) {
                const std::optional<std::chrono::milliseconds> report =
                    delivery.sinceFocusReport(target.app.processIdentifier);
                if (!report || *report > *sinceMove) {
                    awaitReport = true;
                    throw KeysHeldBack();
                }
            }
            lookBegan = uptime();
            TranscriptDelivery::Validation look = delivery.validateDeliveryTarget(target);
            if (const auto* field = std::get_if<FocusedTargetSnapshot>(&look)) {
                sentTo = *field;
                if (!held) delivery.holdHistory(text, durationSeconds);
                held = m_keysSent = true;
                keysAt = uptime();
                return;
            }
            heldBack = std::move(look);
            throw KeysHeldBack();
        };
        std::exception_ptr failure;
        try {
            co_await m_syntheticPastePerformer->performPaste(target, lastLook, stopToken);
        } catch (...) {
            failure = std::current_exception();
        }
        if (alive.expired()) throw CancellationError();
        bool overtaken = false;
        if (!failure) {
            // The keys' order let the words go: the application asks for them once it handled every
            // key before ours, and what it tells of its focus then decides.
            try {
                co_await delivery.pasteboard().fetched(kFetchLimitSeconds, stopToken);
            } catch (const CancellationError&) {
            }
            if (alive.expired()) throw CancellationError();
            if ((refusedAtRequest || untoldAtRequest) && !stopToken.stop_requested()) {
                withdrawIfHeld();
                overtaken = refused = true;
                untoldBefore = untoldBefore || untoldAtRequest;
            }
        }
        if (failure) {
            try {
                std::rethrow_exception(failure);
            } catch (const KeysHeldBack&) {
                withdrawIfHeld();
            } catch (const PasteKeysOvertaken&) {
                // The keys went where a Tab or a click took the focus, and were refused the words.
                withdrawIfHeld();
                overtaken = refused = true;
            } catch (const SyntheticPasteError& error) {
                withdrawIfHeld();
                notSent = error.errorCase();
            } catch (const CancellationError&) {
                // The session went on without this delivery: no key went out.
                withdrawIfHeld();
                restoreClipboard(saved);
                throw;
            } catch (...) {
                withdrawIfHeld();
                delivery.context().recordEvent(DiagnosticsEventLevel::error, QStringLiteral("runtime.error.unexpected"),
                                               kUnexpectedEventText);
                throw ReportedDeliveryFailure(QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure));
            }
        }
        if (overtaken) {
            // The application asks for the words once it took the keys: nothing else is served to
            // that paste before it was refused, or had time to ask.
            try {
                co_await delivery.pasteboard().fetched(kFetchLimitSeconds, stopToken);
            } catch (const CancellationError&) {
                restoreClipboard(saved);
                throw;
            }
            if (alive.expired()) throw CancellationError();
        }
        if (overtaken && untoldAtRequest) {
            // The application tells of a focus that a key before ours moved only once it is let go,
            // and a page's own process later still: the next look waits for such a report a while.
            try {
                co_await delivery.focusReport(target.app.processIdentifier, kUntoldReportWaitSeconds, stopToken);
            } catch (const CancellationError&) {
                restoreClipboard(saved);
                throw;
            }
            if (alive.expired()) throw CancellationError();
        }
        if (awaitReport) {
            // Where the application says nothing of where its focus went, the words are not pasted.
            bool reported = false;
            try {
                reported = co_await delivery.focusReport(target.app.processIdentifier,
                                                         TranscriptDelivery::kFocusSettleLimitSeconds, stopToken);
            } catch (const CancellationError&) {
                restoreClipboard(saved);
                throw;
            }
            if (!reported) {
                heldBack = DeliveryValidationFailure::focusedTargetUnavailable;
                break;
            }
        } else if (!overtaken && (!heldBack || !isUnsettled(*heldBack))) {
            break;
        }
        // It gets the same settling as before the paste, then a new look.
        TranscriptDelivery::Validation settled;
        try {
            settled = co_await delivery.settledDeliveryTarget(target, stopToken);
        } catch (const CancellationError&) {
            restoreClipboard(saved);
            throw;
        }
        if (!std::holds_alternative<FocusedTargetSnapshot>(settled)) {
            heldBack = settled;
            break;
        }
        // The last attempt found a press at each look that the application had not answered yet, or
        // that overtook the keys. The next look believes the application only once it told where
        // such a press took its focus.
        if (awaitReport || overtaken) heldBack = DeliveryValidationFailure::focusedTargetUnavailable;
    }
    if (heldBack) {
        // No words went out: no key did, or the keys were refused them.
        if (std::holds_alternative<TranscriptDelivery::SecureFieldFocused>(*heldBack)) {
            restoreClipboard(saved);
            delivery.refuseSecureField();
        } else {
            // The words stay on the clipboard, the transcript alone, as when the focus had moved
            // before the paste was chosen; served again where they were refused to overtaken keys.
            // Another application's copy made meanwhile stays, and the words are kept in the history only.
            const auto failure = std::get<DeliveryValidationFailure>(*heldBack);
            if (leaveTranscriptOnClipboard(text)) {
                delivery.copyAfterTargetChanged(text, durationSeconds, failure, false);
            } else {
                delivery.record().validationOutcome = validationOutcome(failure);
                keepOffClipboard(text, durationSeconds, fallbackCode(failure));
            }
        }
        delivery.context().refreshDiagnosticsSnapshot();
        co_return;
    }
    if (notSent) {
        handlePasteNotSent(*notSent, text, target, durationSeconds, entry, reasons, saved);
        co_return;
    }
    // The words are on their way into the field: a process ended during the check keeps them in the
    // history (held before the keys) as sent but not checked.
    if (!held) delivery.holdHistory(text, durationSeconds);

    Verification verification = co_await verify(pasted, sentTo, before, stopToken);
    // The application asked for the words only during the check, with a password field focused:
    // refused, nothing of them is kept.
    if (refusedAtRequest && std::holds_alternative<TranscriptDelivery::SecureFieldFocused>(*refusedAtRequest) &&
        verification.kind != Verification::Kind::verified) {
        restoreClipboard(saved);
        delivery.withdrawHeldHistory();
        delivery.refuseSecureField();
        delivery.context().refreshDiagnosticsSnapshot();
        co_return;
    }
    switch (verification.kind) {
        case Verification::Kind::verified:
            finishSentPaste(text, durationSeconds, true);
            restoreClipboard(saved);
            break;
        case Verification::Kind::notVerifiable:
            finishSentPaste(text, durationSeconds, false, leaveTranscriptOnClipboard(text));
            break;
        case Verification::Kind::partlyReadable:
            // Sent where the words cannot be looked for, and nothing says they missed: the user's
            // clipboard comes back, as the transcript left there would cost their copy and a paste
            // again would double the words.
            finishSentPaste(text, durationSeconds, false, false);
            restoreClipboard(saved);
            break;
        case Verification::Kind::failed:
            if (leaveTranscriptOnClipboard(text)) {
                recordPasteValidationFailure(text, durationSeconds, verification.failure);
            } else {
                // Another application's copy took the words' place: they are not there to paste
                // again, and what it copied stays. Sent, and not found where they were sent.
                m_delivery.record().validationOutcome = validationOutcome(verification.failure);
                finishSentPaste(text, durationSeconds, false, false);
            }
            break;
        case Verification::Kind::secureField:
            // Nothing of the words stays where a password field could take them again, nor in the
            // history that held them while the check ran. They are not in the field they were sent
            // to: a key that overtook them may have taken them into the password field.
            restoreClipboard(saved);
            delivery.withdrawHeldHistory();
            delivery.reportWordsMayBeInSecureField();
            break;
    }
    delivery.context().refreshDiagnosticsSnapshot();
}

QCoro::Task<ClipboardPasteDelivery::Verification> ClipboardPasteDelivery::verify(
    QString pasted, FocusedTargetSnapshot sentTo, std::optional<TextInsertionPoint> before, std::stop_token stopToken) {
    const ViewModelEnvironment& environment = m_delivery.context().environment();
    const std::weak_ptr<const bool> alive = m_alive;
    bool cutShort = false;
    try {
        // The check asks the application about its field, which it may not answer while it waits
        // for the words from our clipboard (Firefox under load): the fixed wait begins once it took
        // them, or once it had time to (the delivery waited for that already).
        co_await environment.clipboardPasteVerificationSleep(environment.clipboardPasteVerificationDelaySeconds,
                                                             stopToken);
    } catch (const CancellationError&) {
        cutShort = true;
    }
    // Gone with its owner: nothing left to write to.
    if (alive.expired()) throw CancellationError();
    // The keystroke went out before the session was reset: what it did cannot be checked, but the
    // words still belong in the history and the status line.
    if (cutShort || stopToken.stop_requested()) co_return Verification{Verification::Kind::notVerifiable};

    // The field the keys went to tells first: words there were delivered, wherever the focus went
    // since (a Tab to the next field of a form right after the paste).
    auto* verifier = dynamic_cast<TextInsertionVerifying*>(m_textInserter.get());
    PasteReadBack inSentField = verifier ? readBack(*verifier, pasted, sentTo, before) : PasteReadBack::unreadable;
    // A field read only in part shows the words, if at all, where it can be read.
    const bool partlyReadable = verifier && before && !before->whole;
    // A field may show words it took a moment later (Chromium's page tells its tree late, more so
    // when a Tab right after the keys moved its focus): read again, briefly, before it counts as
    // without them.
    for (int reread = 0;
         (inSentField == PasteReadBack::missing || (partlyReadable && inSentField != PasteReadBack::landed)) &&
         reread < kLateShowRereads;
         ++reread) {
        try {
            co_await environment.clipboardPasteVerificationSleep(kLateShowStepSeconds, stopToken);
        } catch (const CancellationError&) {
            cutShort = true;
        }
        if (alive.expired()) throw CancellationError();
        if (cutShort) co_return Verification{Verification::Kind::notVerifiable};
        inSentField = readBack(*verifier, pasted, sentTo, before);
    }
    if (inSentField == PasteReadBack::landed) co_return Verification{Verification::Kind::verified};

    // Nothing there, or nothing to read: where the focus is now tells the rest. It may be on its way
    // back after the keystroke as after the hot key: the check waits for it as the delivery did.
    TranscriptDelivery::Validation validation;
    try {
        validation = co_await m_delivery.settledDeliveryTarget(sentTo, stopToken);
    } catch (const CancellationError&) {
        cutShort = true;
    }
    if (alive.expired()) throw CancellationError();
    if (cutShort) co_return Verification{Verification::Kind::notVerifiable};
    if (std::holds_alternative<TranscriptDelivery::SecureFieldFocused>(validation))
        co_return Verification{Verification::Kind::secureField};
    if (const auto* failure = std::get_if<DeliveryValidationFailure>(&validation)) {
        // The field the keys went to is gone, and another object of its window has the focus: an
        // editor that made a new object for its line once the text changed (Calc's cell editor).
        // The words at the paste's place there are the delivery.
        const std::optional<FocusedTargetSnapshot> now = m_delivery.lastLook();
        const bool sentFieldTold = inSentField == PasteReadBack::landed || inSentField == PasteReadBack::missing;
        if (verifier && !sentFieldTold && *failure == DeliveryValidationFailure::insertionSurfaceChanged && now &&
            !now->isWindowOnly && now->app.windowIdentifier == sentTo.app.windowIdentifier &&
            readBack(*verifier, pasted, *now, before) == PasteReadBack::landed) {
            co_return Verification{Verification::Kind::verified};
        }
        co_return Verification{Verification::Kind::failed, *failure};
    }
    if (!verifier) co_return Verification{Verification::Kind::notVerifiable};
    // The same field, or what now stands for it (an editor that made a new object for its line): the
    // words may also have come in since the first read.
    switch (readBack(*verifier, pasted, std::get<FocusedTargetSnapshot>(validation), before)) {
        case PasteReadBack::landed: co_return Verification{Verification::Kind::verified};
        case PasteReadBack::missing: co_return Verification{Verification::Kind::failed};
        case PasteReadBack::untold: co_return Verification{Verification::Kind::partlyReadable};
        case PasteReadBack::unreadable: break;
    }
    co_return Verification{partlyReadable ? Verification::Kind::partlyReadable : Verification::Kind::notVerifiable};
}

PasteReadBack ClipboardPasteDelivery::readBack(TextInsertionVerifying& verifier, const QString& pasted,
                                               const FocusedTargetSnapshot& field,
                                               const std::optional<TextInsertionPoint>& before) {
    try {
        return verifier.verifyInsertion(pasted, field, before);
    } catch (...) {
        return PasteReadBack::unreadable;
    }
}

void ClipboardPasteDelivery::handlePasteNotSent(SyntheticPasteError::Case errorCase, const QString& text,
                                                const FocusedTargetSnapshot& target, double durationSeconds,
                                                Entry entry, QStringList& reasons,
                                                const QList<ClipboardItemSnapshot>& saved) {
    LastDeliveryRecord& record = m_delivery.record();
    reasons.append(SessionTexts::pasteFailureReason(errorCase));
    record.insertionFailureReason = reasons.join(QStringLiteral(" | "));
    // The clipboard holds the words already (the transcript alone from here), unless another
    // application copied since: its copy stays, and the words are kept in the history only.
    const bool onClipboard = leaveTranscriptOnClipboard(text);
    const auto copy = [&](const QString& code, const QString& message) {
        if (onClipboard) {
            m_delivery.fallbackCopy(text, durationSeconds, code, message, false);
        } else {
            keepOffClipboard(text, durationSeconds, code);
        }
    };
    if (errorCase == SyntheticPasteError::Case::frontmostApplicationChanged) {
        record.validationOutcome = DeliveryValidationOutcome::frontmostApplicationChanged;
        const QString code = fallbackCode(DeliveryValidationFailure::frontmostApplicationChanged);
        copy(code, fallbackMessage(code));
        return;
    }
    if (entry == Entry::afterDirectWriteFailure || !target.supportsDirectValueWrite()) {
        copy(QStringLiteral("runtime.fallback.clipboard_paste_failed"), kCopied);
        return;
    }
    record.insertionStrategy = TextInsertionStrategy::accessibilityValueWrite;
    std::optional<TextInsertionError::Case> failure;
    try {
        m_delivery.performDirectInsertion(text, durationSeconds, target);
    } catch (const TextInsertionError& error) {
        failure = error.errorCase();
    }
    if (!failure) {
        // The text went in directly: the clipboard need not hold it any more.
        restoreClipboard(saved);
        return;
    }
    reasons.append(SessionTexts::insertionFailureReason(*failure));
    record.insertionFailureReason = reasons.join(QStringLiteral(" | "));
    if (*failure == TextInsertionError::Case::replacementHintMismatch) {
        record.validationOutcome = DeliveryValidationOutcome::replacementHintMismatch;
        const QString code = fallbackCode(DeliveryValidationFailure::replacementHintMismatch);
        copy(code, fallbackMessage(code));
    } else {
        copy(QStringLiteral("runtime.fallback.clipboard_copied"), kCopied);
    }
}

void ClipboardPasteDelivery::keepOffClipboard(const QString& text, double durationSeconds, const QString& code) {
    if (!m_delivery.isDelivering()) return;
    // No key took the words and they are no longer on the clipboard: the dictation ends without a
    // field for them, which the user is asked to choose; the history keeps them.
    const QuorvelleError error(QuorvelleErrorCase::unsupportedTarget);
    const QString message = m_delivery.context().strings().errorMessage(error);
    LastDeliveryRecord& record = m_delivery.record();
    record.directInsertionContext.reset();
    record.insertionOutcome = TranscriptHistoryCompletionKind::copiedToClipboard;
    record.insertionFailureReason = message;
    m_delivery.appendHistory(text, durationSeconds, TranscriptHistoryCompletionKind::copiedToClipboard);
    m_delivery.session().fail(error);
    m_delivery.context().setInlineMessage(message);
    m_delivery.context().recordEvent(DiagnosticsEventLevel::warning, code, message);
}

void ClipboardPasteDelivery::finishSentPaste(const QString& text, double durationSeconds, bool verified,
                                             bool wordsOnClipboard) {
    const auto kind = verified ? TranscriptHistoryCompletionKind::pastedViaClipboard
                               : TranscriptHistoryCompletionKind::pasteSentUnverified;
    LastDeliveryRecord& record = m_delivery.record();
    record.directInsertionContext.reset();
    record.insertionOutcome = kind;
    record.insertionFailureReason.reset();
    // To the history's writer first, as a direct insertion's entry goes.
    m_delivery.appendHistory(text, durationSeconds, kind);
    m_delivery.session().markSuccess();
    const SessionTexts::Insertion insertion =
        !verified && !wordsOnClipboard
            ? SessionTexts::pasteSentNotOnClipboard()
            : SessionTexts::insertionResult(verified ? TextInsertionOutcome::pastedViaClipboard
                                                     : TextInsertionOutcome::pasteSentUnverified);
    m_delivery.context().setInlineMessage(insertion.message);
    m_delivery.context().recordEvent(DiagnosticsEventLevel::info, insertion.code, insertion.message);
}

void ClipboardPasteDelivery::recordPasteValidationFailure(const QString& text, double durationSeconds,
                                                          DeliveryValidationFailure failure) {
    LastDeliveryRecord& record = m_delivery.record();
    record.validationOutcome = validationOutcome(failure);
    record.directInsertionContext.reset();
    record.insertionOutcome = TranscriptHistoryCompletionKind::copiedToClipboard;
    const QString code = fallbackCode(failure);
    const QString message = fallbackMessage(code);
    record.insertionFailureReason = message;
    m_delivery.session().markFallbackCopied();
    m_delivery.appendHistory(text, durationSeconds, TranscriptHistoryCompletionKind::copiedToClipboard);
    m_delivery.context().setInlineMessage(message);
    m_delivery.context().recordEvent(DiagnosticsEventLevel::warning, code, message);
}

bool ClipboardPasteDelivery::leaveTranscriptOnClipboard(const QString& text) {
    // The copy the user keeps is the transcript, not the space that fitted it to the caret; the
    // target has had the verification's wait to fetch what it pasted. A copy another application
    // made meanwhile is the user's newer one, and stays.
    return m_delivery.pasteboard().keepWritten(text);
}

void ClipboardPasteDelivery::restoreClipboard(const QList<ClipboardItemSnapshot>& saved) {
    try {
        m_delivery.pasteboard().restore(saved);
    } catch (const ClipboardWriteError& error) {
        const bool restoreFailed = error.errorCase() == ClipboardWriteError::Case::restoreFailed;
        m_delivery.context().recordEvent(
            DiagnosticsEventLevel::warning, QStringLiteral("runtime.clipboard.restore_failed"),
            restoreFailed ? QStringLiteral("Clipboard geri yuklenemedi.") : kUnexpectedEventText);
    } catch (...) {
        m_delivery.context().recordEvent(DiagnosticsEventLevel::warning,
                                         QStringLiteral("runtime.clipboard.restore_failed"),
                                         QStringLiteral("Clipboard geri yuklenemedi."));
    }
}

quint64 ClipboardPasteDelivery::serveOver(const QList<ClipboardItemSnapshot>& saved) {
    m_servedOver = saved;
    if (!m_quitGiveBack) {
        if (QCoreApplication* application = QCoreApplication::instance())
            m_quitGiveBack =
                QObject::connect(application, &QCoreApplication::aboutToQuit, [this] { giveBackBeforeTheEnd(); });
    }
    return ++m_serving;
}

void ClipboardPasteDelivery::settle(quint64 serving) {
    // A later paste serves its own words now.
    if (serving == m_serving) m_servedOver.reset();
}

void ClipboardPasteDelivery::giveBackBeforeTheEnd() {
    if (!m_servedOver) return;
    const QList<ClipboardItemSnapshot> saved = *std::exchange(m_servedOver, std::nullopt);
    // Only over the words (a copy made since stays), bounded as every claim of ours is; nothing is
    // told any more. Keys that went out ask for the words: they get them or nothing, never the
    // user's earlier clipboard in their place, so the application is given the check's time to ask.
    try {
        if (std::exchange(m_keysSent, false)) m_delivery.pasteboard().awaitFetchBeforeTheEnd(kFetchLimitSeconds);
        m_delivery.pasteboard().restore(saved);
    } catch (...) {
    }
}

}  // namespace quorvelle
