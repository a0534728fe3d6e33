#pragma once

#include "Services/Delivery/ClipboardItemSnapshot.h"
#include "Services/Delivery/FocusedTargetSnapshot.h"
#include "Services/Delivery/SyntheticPasteError.h"
#include "Services/Delivery/SyntheticPastePerforming.h"
#include "Services/Delivery/TextInserting.h"
#include "Services/Delivery/TextInsertionVerifying.h"
#include "ViewModel/DeliveryDecision.h"

#include <QCoroTask>
#include <QList>
#include <QMetaObject>
#include <QStringList>

#include <chrono>
#include <memory>
#include <optional>
#include <stop_token>

namespace quorvelle {

class TranscriptDelivery;

// Delivers through the clipboard: saves what the clipboard holds, writes the transcript, sends the
// paste chord, waits briefly, checks the field, and puts the user's clipboard back once the text
// is verifiably in. Part of TranscriptDelivery, which it serves.
class ClipboardPasteDelivery {
public:
    // Where the paste was chosen: by the strategy, or after a direct write failed.
    enum class Entry { primary, afterDirectWriteFailure };

    ClipboardPasteDelivery(TranscriptDelivery& delivery, std::shared_ptr<SyntheticPastePerforming> pastePerformer,
                           std::shared_ptr<TextInserting> textInserter);
    // A paste still under way gives the user's clipboard back first.
    ~ClipboardPasteDelivery();
    ClipboardPasteDelivery(const ClipboardPasteDelivery&) = delete;
    ClipboardPasteDelivery& operator=(const ClipboardPasteDelivery&) = delete;

    // `reasons` holds the failure reasons gathered so far. Throws ReportedDeliveryFailure (and what
    // a retried direct write throws beside TextInsertionError); a stop ends it with CancellationError.
    QCoro::Task<void> deliver(QString text, FocusedTargetSnapshot target, double durationSeconds, Entry entry,
                              QStringList reasons, std::stop_token stopToken);

    // How long the check waits for the application to fetch the pasted words before it looks anyway.
    static constexpr double kFetchLimitSeconds = 1.0;
    // An application's request for the words this soon after the keys is not looked at again.
    static constexpr std::chrono::milliseconds kPromptRequest{40};
    // How long, after a late request it could not answer a look at, the application is given to report
    // where a key before ours took its focus, before the look for new keys.
    static constexpr double kUntoldReportWaitSeconds = 0.5;
    // Looks right before the keys, each after the focus settled again (it was between two places, or
    // a Tab or a click came that the application had not reported on yet).
    static constexpr int kLastLookAttempts = 3;
    // How often, and how far apart, the field the keys went to is read again while it shows no words.
    static constexpr int kLateShowRereads = 5;
    static constexpr double kLateShowStepSeconds = 0.1;

private:
    struct Verification {
        // secureField: a password field holds the focus after the paste went out. partlyReadable: the
        // field it went to reads only part of its text (a terminal's scrollback), which does not
        // show the words: they may stand beyond it; or its text, a terminal's screen, shows them at
        // the caret but cannot show that they took nothing else.
        enum class Kind { verified, notVerifiable, partlyReadable, failed, secureField } kind;
        DeliveryValidationFailure failure = DeliveryValidationFailure::clipboardPasteVerificationFailed;
    };
    // Judged first on `sentTo`, the field the keys went to; then on where the focus is now.
    QCoro::Task<Verification> verify(QString pasted, FocusedTargetSnapshot sentTo,
                                     std::optional<TextInsertionPoint> before, std::stop_token stopToken);
    static PasteReadBack readBack(TextInsertionVerifying& verifier, const QString& pasted,
                                  const FocusedTargetSnapshot& field, const std::optional<TextInsertionPoint>& before);

    void handlePasteNotSent(SyntheticPasteError::Case errorCase, const QString& text,
                            const FocusedTargetSnapshot& target, double durationSeconds, Entry entry,
                            QStringList& reasons, const QList<ClipboardItemSnapshot>& saved);
    // The clipboard keeps the transcript alone (without a space put before it for the paste), only
    // while the paste's words still hold it; whether it does.
    bool leaveTranscriptOnClipboard(const QString& text);
    // `wordsOnClipboard`: an unverified paste's words are still on the clipboard.
    void finishSentPaste(const QString& text, double durationSeconds, bool verified, bool wordsOnClipboard = true);
    // No key took the words and another application's copy took their place on the clipboard: kept
    // in the history, and the user told to choose a field, never that they were copied.
    void keepOffClipboard(const QString& text, double durationSeconds, const QString& code);
    void recordPasteValidationFailure(const QString& text, double durationSeconds, DeliveryValidationFailure failure);
    void restoreClipboard(const QList<ClipboardItemSnapshot>& saved);
    // From the write of the paste's words to the paste's outcome, a quit of the application gives the
    // user's clipboard (`saved`) back first: the process's end would take the words' claim with it, and
    // with it what the user had copied. Returns the number that `settle` takes.
    quint64 serveOver(const QList<ClipboardItemSnapshot>& saved);
    void settle(quint64 serving);
    void giveBackBeforeTheEnd();

    TranscriptDelivery& m_delivery;
    // Expires with this object: a wait that ends after it went must not touch it.
    std::shared_ptr<const bool> m_alive = std::make_shared<const bool>(true);
    std::shared_ptr<SyntheticPastePerforming> m_syntheticPastePerformer;
    std::shared_ptr<TextInserting> m_textInserter;
    // The user's clipboard while the paste's words are served in its place, and which paste serves them.
    std::optional<QList<ClipboardItemSnapshot>> m_servedOver;
    quint64 m_serving = 0;
    // A paste's keys went out (or are about to) and its outcome is not decided yet.
    bool m_keysSent = false;
    QMetaObject::Connection m_quitGiveBack;
};

}  // namespace quorvelle
