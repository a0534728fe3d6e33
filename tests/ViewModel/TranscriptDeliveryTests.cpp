#include "DictationRig.h"
#include "Services/Delivery/ClipboardWriteError.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"
#include "Services/Delivery/SyntheticPasteError.h"
#include "Services/Delivery/TextInsertionError.h"
#include "ViewModel/TranscriptDelivery.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

using Kind = TranscriptHistoryCompletionKind;
const QString kText = QStringLiteral("dictated words");

ClipboardItemSnapshot userClipboard() {
    ClipboardItemSnapshot item;
    item.representations.insert(QStringLiteral("text/html"), QByteArray("<b>mine</b>"));
    return item;
}

// The delivery alone, over fakes, with the session already uploading.
struct DeliveryRig {
    FakeBootstrap fakes;
    ViewModelContext context{fakes.environment(), fakes.diagnostics};
    std::optional<FocusedTargetSnapshot> focused = writableTextField();
    bool fallbackEnabled = true;
    QList<Kind> history;
    TranscriptDelivery delivery{
        fakes.bootstrap(), context,
        DeliveryOutlets{[this] { return fallbackEnabled; }, [] { return false; }, [this] { return focused; },
                        [this](std::optional<FocusedTargetSnapshot> t) { focused = t; },
                        [this](const QString&, double, Kind kind) { history << kind; }}};
    std::exception_ptr failure;

    DeliveryRig() {
        fakes.pasteboard->contents = {userClipboard()};
        fakes.sessionCoordinator->beginRecording();
        fakes.sessionCoordinator->beginUploading();
    }
    void deliver() {
        [](DeliveryRig* rig) -> QCoro::Task<void> {
            try {
                co_await rig->delivery.deliverTranscript(kText, 1.5, {});
            } catch (...) {
                rig->failure = std::current_exception();
            }
        }(this);
        fakes.pasteVerificationSleeper.finishAll();
        DictationRig::settle();
    }
    SessionState state() const { return fakes.sessionCoordinator->state(); }
    QString message() const { return context.inlineMessage().value_or(QString()); }
    QString newestEvent() const { return fakes.diagnostics->codes().value(0); }
    bool clipboardIsTheUsers() const { return fakes.pasteboard->contents == QList{userClipboard()}; }
};

FocusedTargetSnapshot otherField() {
    FocusedTargetSnapshot target = writableTextField();
    target.element.title = QStringLiteral("Subject");
    target.element.frame = QRectF(100, 400, 400, 30);
    target.element.size = QSizeF(400, 30);
    return target;
}

TEST(TranscriptDelivery, DecisionMatrix) {
    using Adjust = std::function<void(DeliveryRig&)>;
    using O = DeliveryValidationOutcome;
    using S = TextInsertionStrategy;
    struct Row {
        const char* label;
        Adjust adjust;
        SessionState state;
        std::optional<Kind> kind;
        QString message;
        QString event;
        std::optional<O> outcome;
        std::optional<S> strategy;
    };
    const auto insertFails = [](TextInsertionError::Case c) {
        return [c](DeliveryRig& r) { r.fakes.textInserter->insertAnswer.pushFailure(TextInsertionError(c)); };
    };
    const QString copied = QStringLiteral("Metin panoya kopyalandı.");
    const QString lost = QStringLiteral("Yazma hedefi bulunamadı. Metin panoya kopyalandı.");
    const auto fallbackCopied = SessionState::fallbackCopied();
    const QList<Row> rows{
        {"no target captured", [](DeliveryRig& r) { r.focused.reset(); }, fallbackCopied, Kind::copiedToClipboard, lost,
         "runtime.fallback.focused_target_unavailable", O::focusedTargetUnavailable, std::nullopt},
        {"no target, clipboard off",
         [](DeliveryRig& r) {
             r.focused.reset();
             r.fallbackEnabled = false;
         },
         SessionState::error(QuorvelleError(QuorvelleErrorCase::unsupportedTarget)), std::nullopt,
         QStringLiteral("Clipboard fallback kapalı. Metin otomatik eklenemedi."), "runtime.fallback.clipboard_disabled",
         O::focusedTargetUnavailable, std::nullopt},
        {"focus unreadable",
         [](DeliveryRig& r) {
             r.fakes.inspector->answer.pushFailure(
                 FocusedTargetInspectionError(FocusedTargetInspectionError::Case::focusedElementUnavailable));
         },
         fallbackCopied, Kind::copiedToClipboard, lost, "runtime.fallback.focused_target_unavailable",
         O::focusedTargetUnavailable, std::nullopt},
        {"another application",
         [](DeliveryRig& r) {
             FocusedTargetSnapshot chat = otherField();
             chat.app.bundleIdentifier = QStringLiteral("org.example.chat");
             chat.app.localizedName = QStringLiteral("Chat");
             chat.app.processIdentifier = 77;
             r.fakes.inspector->answer.push(chat);
         },
         fallbackCopied, Kind::copiedToClipboard, QStringLiteral("Odaktaki uygulama değişti. Metin panoya kopyalandı."),
         "runtime.fallback.frontmost_application_changed", O::frontmostApplicationChanged, std::nullopt},
        {"another field", [](DeliveryRig& r) { r.fakes.inspector->answer.push(otherField()); }, fallbackCopied,
         Kind::copiedToClipboard, QStringLiteral("Yazma hedefi değişti. Metin panoya kopyalandı."),
         "runtime.fallback.target_surface_changed", O::insertionSurfaceChanged, std::nullopt},
        {"same field, direct write",
         {},
         SessionState::success(),
         Kind::inserted,
         QStringLiteral("Metin eklendi."),
         "runtime.insert.inserted_at_caret",
         O::validatedSameSurface,
         S::accessibilityValueWrite},
        {"direct write fails, pasteable", insertFails(TextInsertionError::Case::writeFailed), SessionState::success(),
         Kind::pastedViaClipboard, QStringLiteral("Metin yapıştırıldı."), "runtime.insert.pasted_via_clipboard",
         O::validatedSameSurface, S::clipboardPaste},
        {"direct write fails, not pasteable",
         [](DeliveryRig& r) {
             r.focused->element.role = QStringLiteral("AXStaticText");
             r.focused->element.isEditable = false;
             r.fakes.inspector->answer.setFallback(*r.focused);
             r.fakes.textInserter->insertAnswer.pushFailure(TextInsertionError(TextInsertionError::Case::writeFailed));
         },
         fallbackCopied, Kind::copiedToClipboard, copied, "runtime.fallback.clipboard_copied", O::validatedSameSurface,
         S::accessibilityValueWrite},
        {"earlier dictation no longer there", insertFails(TextInsertionError::Case::replacementHintMismatch),
         fallbackCopied, Kind::copiedToClipboard, QStringLiteral("Metin alanı değişti. Sonuç panoya kopyalandı."),
         "runtime.fallback.replacement_hint_mismatch", O::replacementHintMismatch, S::accessibilityValueWrite},
        {"clipboard chosen but off, field writable",
         [](DeliveryRig& r) {
             r.fakes.strategyResolver->strategy = S::clipboardPaste;
             r.fallbackEnabled = false;
         },
         SessionState::success(), Kind::inserted, QStringLiteral("Metin eklendi."), "runtime.insert.inserted_at_caret",
         O::validatedSameSurface, S::accessibilityValueWrite},
    };
    for (const Row& row : rows) {
        DeliveryRig rig;
        if (row.adjust) row.adjust(rig);
        rig.deliver();
        EXPECT_FALSE(rig.failure) << row.label;
        EXPECT_EQ(rig.state(), row.state) << row.label;
        EXPECT_EQ(rig.history, row.kind ? QList<Kind>{*row.kind} : QList<Kind>{}) << row.label;
        EXPECT_EQ(rig.message(), row.message) << row.label;
        EXPECT_EQ(rig.newestEvent(), row.event) << row.label;
        EXPECT_EQ(rig.delivery.record().validationOutcome, row.outcome) << row.label;
        EXPECT_EQ(rig.delivery.record().insertionStrategy, row.strategy) << row.label;
    }
}

TEST(TranscriptDelivery, PasteEndings) {
    struct Row {
        const char* label;
        std::function<void(DeliveryRig&)> adjust;
        SessionState state;
        Kind kind;
        QString event;
        bool usersClipboardBack;
        QString reason;
    };
    const auto pasteFails = [](SyntheticPasteError::Case c) {
        return [c](DeliveryRig& r) { r.fakes.pastePerformer->outcome.pushFailure(SyntheticPasteError(c)); };
    };
    using P = SyntheticPasteError::Case;
    const QList<Row> rows{
        {"verified",
         {},
         SessionState::success(),
         Kind::pastedViaClipboard,
         "runtime.insert.pasted_via_clipboard",
         true,
         {}},
        {"cannot be checked",
         [](DeliveryRig& r) { r.fakes.textInserter->verifyAnswer.push(std::nullopt); },
         SessionState::success(),
         Kind::pasteSentUnverified,
         "runtime.insert.paste_sent_unverified",
         false,
         {}},
        {"text not in the field", [](DeliveryRig& r) { r.fakes.textInserter->verifyAnswer.push(false); },
         SessionState::fallbackCopied(), Kind::copiedToClipboard,
         "runtime.fallback.clipboard_paste_verification_failed", false,
         QStringLiteral("Yapıştırma doğrulanamadı. Metin panoya kopyalandı.")},
        {"user moved during the wait",
         [](DeliveryRig& r) {
             r.fakes.inspector->answer.push(writableTextField());
             r.fakes.inspector->answer.push(otherField());
         },
         SessionState::fallbackCopied(), Kind::copiedToClipboard, "runtime.fallback.target_surface_changed", false,
         QStringLiteral("Yazma hedefi değişti. Metin panoya kopyalandı.")},
        {"another application in front", pasteFails(P::frontmostApplicationChanged), SessionState::fallbackCopied(),
         Kind::copiedToClipboard, "runtime.fallback.frontmost_application_changed", false,
         QStringLiteral("Frontmost application changed before paste.")},
        {"no keyboard events, written directly instead",
         pasteFails(P::eventSourceUnavailable),
         SessionState::success(),
         Kind::inserted,
         "runtime.insert.inserted_at_caret",
         true,
         {}},
        {"no keyboard events, not writable",
         [](DeliveryRig& r) {
             r.focused->element.supportsValueWrite = false;
             r.fakes.inspector->answer.setFallback(*r.focused);
             r.fakes.pastePerformer->outcome.pushFailure(SyntheticPasteError(P::eventCreationFailed));
         },
         SessionState::fallbackCopied(), Kind::copiedToClipboard, "runtime.fallback.clipboard_paste_failed", false,
         QStringLiteral("Unable to build synthetic Ctrl+V events.")},
        {"no keyboard events after a failed write",
         [](DeliveryRig& r) {
             r.fakes.strategyResolver->strategy = TextInsertionStrategy::accessibilityValueWrite;
             r.fakes.textInserter->insertAnswer.pushFailure(TextInsertionError(TextInsertionError::Case::writeFailed));
             r.fakes.pastePerformer->outcome.pushFailure(SyntheticPasteError(P::eventSourceUnavailable));
         },
         SessionState::fallbackCopied(), Kind::copiedToClipboard, "runtime.fallback.clipboard_paste_failed", false,
         QStringLiteral("Direct text insertion write failed for the focused target. | Unable to create keyboard event "
                        "source for synthetic paste.")},
    };
    for (const Row& row : rows) {
        DeliveryRig rig;
        rig.fakes.strategyResolver->strategy = TextInsertionStrategy::clipboardPaste;
        if (row.adjust) row.adjust(rig);
        rig.deliver();
        EXPECT_FALSE(rig.failure) << row.label;
        EXPECT_EQ(rig.state(), row.state) << row.label;
        EXPECT_EQ(rig.history, QList<Kind>{row.kind}) << row.label;
        EXPECT_EQ(rig.newestEvent(), row.event) << row.label;
        EXPECT_EQ(rig.clipboardIsTheUsers(), row.usersClipboardBack) << row.label;
        EXPECT_EQ(rig.delivery.record().insertionFailureReason.value_or(QString()), row.reason) << row.label;
    }
}

TEST(TranscriptDelivery, AFailedClipboardWriteGivesTheUsersClipboardBack) {
    DeliveryRig rig;
    rig.fakes.strategyResolver->strategy = TextInsertionStrategy::clipboardPaste;
    rig.fakes.pasteboard->writeOutcome.pushFailure(ClipboardWriteError(ClipboardWriteError::Case::writeFailed));
    rig.deliver();
    EXPECT_THROW(std::rethrow_exception(rig.failure), ReportedDeliveryFailure);
    EXPECT_EQ(rig.fakes.pasteboard->calls.last(), QStringLiteral("restore(1)"));
    EXPECT_EQ(rig.newestEvent(), QStringLiteral("runtime.fallback.clipboard_failed"));
    EXPECT_TRUE(rig.fakes.pastePerformer->pastedInto.isEmpty());
}

}  // namespace
}  // namespace quorvelle::test
