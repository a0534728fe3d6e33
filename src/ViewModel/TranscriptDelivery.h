#pragma once

#include "Models/QuorvelleError.h"
#include "Models/TranscriptHistoryCompletionKind.h"
#include "Services/Delivery/FocusedTargetIdentityScore.h"
#include "Services/Delivery/TextInsertionStrategy.h"
#include "ViewModel/AppBootstrap.h"
#include "ViewModel/ClipboardPasteDelivery.h"
#include "ViewModel/DeliveryDecision.h"
#include "ViewModel/DeliveryRecord.h"
#include "ViewModel/ViewModelContext.h"

#include <QCoroTask>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>
#include <stop_token>
#include <variant>

namespace quorvelle {

// What the last delivery did, kept for the diagnostics until the next one.
struct LastDeliveryRecord {
    std::optional<DeliveryValidationOutcome> validationOutcome;
    std::optional<FocusedTargetIdentityScore> targetIdentityScore;
    std::optional<TextInsertionStrategy> insertionStrategy;
    std::optional<TranscriptHistoryCompletionKind> insertionOutcome;
    std::optional<QString> insertionFailureReason;
    std::optional<LastDirectInsertionContext> directInsertionContext;
};

// A delivery failure whose error event is already recorded: the caller ends the session with it
// but records nothing more.
class ReportedDeliveryFailure : public std::exception {
public:
    explicit ReportedDeliveryFailure(QuorvelleError error) : m_error(std::move(error)) {}
    const QuorvelleError& error() const { return m_error; }
    const char* what() const noexcept override { return m_error.what(); }

private:
    QuorvelleError m_error;
};

// What the delivery reads and writes of the session it serves.
struct DeliveryOutlets {
    std::function<bool()> isClipboardFallbackEnabled;
    std::function<bool()> isLastDictationAutoReplaceEnabled;
    std::function<std::optional<FocusedTargetSnapshot>()> focusedTarget;
    std::function<void(std::optional<FocusedTargetSnapshot>)> publishFocusedTarget;
    std::function<void(const QString&, double, TranscriptHistoryCompletionKind)> appendTranscriptHistory;
    // The words are about to go into a field (the paste's keys, a direct write): the history keeps
    // them, as the kind given, until the delivery ends.
    std::function<void(const QString&, double, TranscriptHistoryCompletionKind)> holdTranscriptHistory;
    // The held words never reached a field: nothing of them is kept.
    std::function<void()> withdrawHeldTranscriptHistory;
};

// Puts a finished transcript where the user was typing: checks that the focus is still on the
// target of the dictation, then writes directly, pastes, or leaves the text on the clipboard.
// Main thread only.
class TranscriptDelivery {
public:
    TranscriptDelivery(const AppBootstrap& services, ViewModelContext& context, DeliveryOutlets outlets);

    // Returns when the text was written, pasted or copied, or the session no longer delivers.
    // Throws QuorvelleError or ReportedDeliveryFailure; a stop ends it with CancellationError.
    QCoro::Task<void> deliverTranscript(QString text, double durationSeconds, std::stop_token stopToken);

    // The hot key was let go: the applications' focus moves about for a moment.
    void noteHotkeyReleased();

    const LastDeliveryRecord& record() const { return m_record; }
    LastDeliveryRecord& record() { return m_record; }

    // Shared with the paste delivery. A password field holds the focus now: whatever road the
    // dictation took, nothing goes there and nothing of it is kept.
    struct SecureFieldFocused {};
    using Validation = std::variant<FocusedTargetSnapshot, DeliveryValidationFailure, SecureFieldFocused>;
    Validation validateDeliveryTarget(const FocusedTargetSnapshot& captured);
    // Whether the target's application answers a question about its field now.
    bool applicationAnswers(const FocusedTargetSnapshot& target) { return m_focusedTargetInspector->answers(target); }
    // The same, waiting on the focus's moves, up to kFocusSettleLimitSeconds and kFocusSettleEventLimit
    // of them, while the focus is away, not on a text element yet, or (just after the release) elsewhere.
    QCoro::Task<Validation> settledDeliveryTarget(FocusedTargetSnapshot captured, std::stop_token stopToken);
    static constexpr double kFocusSettleLimitSeconds = 1.0;
    // The bound instead while the application in front still names an element of another of its
    // windows as its focus: a busy one tells of the focus its window in front took seconds late.
    static constexpr double kFocusInAnotherWindowLimitSeconds = 4.0;
    static constexpr int kFocusSettleEventLimit = 16;
    // The step of the clock that stands in for focus events where nothing reports them.
    static constexpr double kFocusSettleStepSeconds = 0.025;
    // What the last validation found holding the focus; none when it could not be read.
    std::optional<FocusedTargetSnapshot> lastLook() const { return m_outlets.focusedTarget(); }
    // Resumes at the focus's next move, or after `timeoutSeconds`.
    QCoro::Task<void> focusMove(double timeoutSeconds, std::stop_token stopToken) {
        return nextFocusChange(timeoutSeconds, std::move(stopToken));
    }
    // FocusChangeAwaiting's account of one application's focus reports; none, and a wait that only
    // times out, where nothing reports the focus's moves.
    std::optional<std::chrono::milliseconds> sinceFocusReport(qint32 processIdentifier) {
        return m_focusChangeAwaiter ? m_focusChangeAwaiter->sinceFocusReport(processIdentifier) : std::nullopt;
    }
    QCoro::Task<bool> focusReport(qint32 processIdentifier, double timeoutSeconds, std::stop_token stopToken);
    // Throws TextInsertionError (and whatever else the inserter throws).
    void performDirectInsertion(const QString& text, double durationSeconds, const FocusedTargetSnapshot& target);
    // Leaves the text on the clipboard (writing it there first when asked) and ends in fallbackCopied.
    void fallbackCopy(const QString& text, double durationSeconds, const QString& code, const QString& message,
                      bool writeToPasteboard = true);
    // The focus is no longer on the target: the words are left on the clipboard (written there
    // first when asked) and the user is told where the focus went.
    void copyAfterTargetChanged(const QString& text, double durationSeconds, DeliveryValidationFailure failure,
                                bool writeToPasteboard = true);
    void failClipboardFallbackDisabled();
    // Ends the dictation as the secure-field block of the press does: the words are not written,
    // pasted, copied or kept, and the user is told why. The clipboard is left to the caller.
    void refuseSecureField();
    // The paste's keys went out, the words are not in the field they were sent to, and a password
    // field holds the focus: a key may have taken them there. The user is told so; nothing of them is
    // kept, and the clipboard is left to the caller.
    void reportWordsMayBeInSecureField();
    void appendHistory(const QString& text, double durationSeconds, TranscriptHistoryCompletionKind kind);
    // Before the words can be seen in a field: a process killed from here on keeps them.
    void holdHistory(const QString& text, double durationSeconds,
                     TranscriptHistoryCompletionKind kind = TranscriptHistoryCompletionKind::pasteSentUnverified);
    // The held words never reached a field: they leave the history as if never held.
    void withdrawHeldHistory();
    bool isDelivering() const;
    bool isClipboardFallbackEnabled() const { return m_outlets.isClipboardFallbackEnabled(); }
    ViewModelContext& context() { return m_context; }
    SessionCoordinating& session() { return *m_sessionCoordinator; }
    ClipboardWriting& pasteboard() { return *m_pasteboardWriter; }

private:
    QCoro::Task<void> nextFocusChange(double timeoutSeconds, std::stop_token stopToken);
    // validateDeliveryTarget; where it found a window whose application is on its way to the
    // accessibility bus, again once that application came or was given up on (the wait holds no thread).
    QCoro::Task<Validation> lookAgain(FocusedTargetSnapshot captured, std::stop_token stopToken);
    // The focus, read once, rests on a password field (or a window that shows one where its focus
    // cannot be told).
    bool focusRestsOnSecureField();

    ViewModelContext& m_context;
    DeliveryOutlets m_outlets;
    std::shared_ptr<SessionCoordinating> m_sessionCoordinator;
    std::shared_ptr<FocusedTargetInspecting> m_focusedTargetInspector;
    std::shared_ptr<TextInsertionStrategyResolving> m_textInsertionStrategyResolver;
    std::shared_ptr<TextInserting> m_textInserter;
    std::shared_ptr<ClipboardWriting> m_pasteboardWriter;
    std::shared_ptr<FocusChangeAwaiting> m_focusChangeAwaiter;
    LastDeliveryRecord m_record;
    std::optional<quint64> m_keyReleasedAt;  // uptime, until the next delivery
    // The last validation found one of our own windows in front.
    bool m_ownWindowInFront = false;
    // The last validation found the focus named in another window of the application in front.
    bool m_focusInAnotherWindow = false;
    ClipboardPasteDelivery m_paste;
};

}  // namespace quorvelle
