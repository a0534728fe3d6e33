#include "Services/Delivery/ClipboardWriteError.h"
#include "Services/Delivery/SyntheticPasteError.h"
#include "Services/Delivery/TextInsertionError.h"
#include "ViewModel/TranscriptDelivery.h"
#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

using Kind = TranscriptHistoryCompletionKind;
using O = DeliveryValidationOutcome;
using P = SyntheticPasteError::Case;
using T = TextInsertionError::Case;

const ClipboardItemSnapshot kUsersClipboard{{{u"text/html"_qs, QByteArray("<b>mine</b>")}}};

// The delivery alone over fakes, the session uploading.
struct DeliveryRig {
    using Adjust = std::function<void(DeliveryRig&)>;
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

    explicit DeliveryRig(const Adjust& first, const Adjust& then = {}) {
        fakes.pasteboard->contents = {kUsersClipboard};
        fakes.sessionCoordinator->beginRecording();
        fakes.sessionCoordinator->beginUploading();
        for (const Adjust& adjust : {first, then})
            if (adjust) adjust(*this);
        [](DeliveryRig* rig) -> QCoro::Task<void> {
            try {
                co_await rig->delivery.deliverTranscript(u"dictated words"_qs, 1.5, {});
            } catch (...) {
                rig->failure = std::current_exception();
            }
        }(this);
        for (int turn = 0; turn < 12; ++turn)
            fakes.pasteVerificationSleeper.finishAll(), settle();
    }
};

using Adjust = DeliveryRig::Adjust;

struct Row {
    const char* label;
    Adjust adjust;
    SessionState state;
    std::optional<Kind> kind;
    const char* event;         // less "runtime."
    std::optional<O> outcome;  // in the paste table: whether the user's clipboard is back
};

void expectRow(const DeliveryRig& rig, const Row& row) {
    EXPECT_FALSE(rig.failure);
    EXPECT_EQ(rig.fakes.sessionCoordinator->state(), row.state);
    EXPECT_EQ(rig.history, row.kind ? QList{*row.kind} : QList<Kind>{});
    EXPECT_EQ(rig.fakes.diagnostics->codes().value(0), u"runtime."_qs + QLatin1String(row.event));
    // The status line says what the newest event says.
    EXPECT_EQ(rig.context.inlineMessage(), rig.fakes.diagnostics->stored.first().message);
}

FocusedTargetSnapshot otherField(qint32 processID = 4242) {
    FocusedTargetSnapshot target = writableTextField();
    target.app.processIdentifier = processID;
    target.element.identifier = u"subject-field"_qs;
    target.element.frame = QRectF(100, 400, 400, 30);
    return target;
}
Adjust insertFails(T c) {
    return [c](DeliveryRig& r) { r.fakes.textInserter->insertAnswer.pushFailure(TextInsertionError(c)); };
}
Adjust pasteFails(P c) {
    return [c](DeliveryRig& r) { r.fakes.pastePerformer->outcome.pushFailure(SyntheticPasteError(c)); };
}
Adjust inspected(FocusedTargetSnapshot t) {
    return [t](DeliveryRig& r) { r.fakes.inspector->answer.push(t); };
}
Adjust strategy(TextInsertionStrategy s, bool fallback = true) {
    return [=](DeliveryRig& r) { r.fakes.strategyResolver->strategy = s, r.fallbackEnabled = fallback; };
}
const auto paste = strategy(TextInsertionStrategy::clipboardPaste);

TEST(TranscriptDelivery, DecisionMatrix) {
    const auto copied = SessionState::fallbackCopied(), success = SessionState::success();
    const auto refused = SessionState::error(QuorvelleError(QuorvelleErrorCase::unsupportedTarget));
    const auto noTarget = [](bool fallback) {
        return [fallback](DeliveryRig& r) { r.focused.reset(), r.fallbackEnabled = fallback; };
    };
    const Adjust notPasteable = [](DeliveryRig& r) {
        r.focused->element.isEnabled = false;
        r.fakes.inspector->answer.setFallback(*r.focused);
        insertFails(T::writeFailed)(r);
    };
    const Kind copy = Kind::copiedToClipboard;
    const Row rows[] = {
        {"no target captured", noTarget(true), copied, copy, "fallback.focused_target_unavailable",
         O::focusedTargetUnavailable},
        {"no target, clipboard off", noTarget(false), refused, std::nullopt, "fallback.clipboard_disabled",
         O::focusedTargetUnavailable},
        {"another application", inspected(otherField(77)), copied, copy, "fallback.frontmost_application_changed",
         O::frontmostApplicationChanged},
        {"another field", inspected(otherField()), copied, copy, "fallback.target_surface_changed",
         O::insertionSurfaceChanged},
        {"same field", {}, success, Kind::inserted, "insert.inserted_at_caret", O::validatedSameSurface},
        {"write fails, pasteable", insertFails(T::writeFailed), success, Kind::pastedViaClipboard,
         "insert.pasted_via_clipboard", O::validatedSameSurface},
        {"write fails, not pasteable", notPasteable, copied, copy, "fallback.clipboard_copied",
         O::validatedSameSurface},
        {"earlier dictation gone", insertFails(T::replacementHintMismatch), copied, copy,
         "fallback.replacement_hint_mismatch", O::replacementHintMismatch},
        {"clipboard chosen but off", strategy(TextInsertionStrategy::clipboardPaste, false), success, Kind::inserted,
         "insert.inserted_at_caret", O::validatedSameSurface},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        DeliveryRig rig(row.adjust);
        expectRow(rig, row);
        EXPECT_EQ(rig.delivery.record().validationOutcome, row.outcome);
    }
}

TEST(TranscriptDelivery, PasteEndingsAndTheUsersClipboard) {
    const auto copied = SessionState::fallbackCopied(), success = SessionState::success();
    const Adjust uncheckable = [](DeliveryRig& r) { r.fakes.textInserter->verifyAnswer.push(std::nullopt); };
    const Adjust missing = [](DeliveryRig& r) { r.fakes.textInserter->verifyAnswer.push(false); };
    const Adjust moved = [](DeliveryRig& r) { inspected(writableTextField())(r), inspected(otherField())(r); };
    const Adjust afterFailedWrite = [](DeliveryRig& r) {
        strategy(TextInsertionStrategy::accessibilityValueWrite)(r);
        insertFails(T::writeFailed)(r), pasteFails(P::eventSourceUnavailable)(r);
    };
    const Kind copy = Kind::copiedToClipboard;
    const O back = O::validatedSameSurface;
    const Row rows[] = {
        {"verified", {}, success, Kind::pastedViaClipboard, "insert.pasted_via_clipboard", back},
        {"cannot be checked", uncheckable, success, Kind::pasteSentUnverified, "insert.paste_sent_unverified", {}},
        {"not in the field", missing, copied, copy, "fallback.clipboard_paste_verification_failed", {}},
        {"moved during the wait", moved, copied, copy, "fallback.target_surface_changed", {}},
        {"another application in front", pasteFails(P::frontmostApplicationChanged), copied, copy,
         "fallback.frontmost_application_changed", std::nullopt},
        {"no key events, written directly", pasteFails(P::eventSourceUnavailable), success, Kind::inserted,
         "insert.inserted_at_caret", back},
        {"no key events after a failed write", afterFailedWrite, copied, copy, "fallback.clipboard_paste_failed", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        DeliveryRig rig(paste, row.adjust);
        expectRow(rig, row);
        EXPECT_EQ(rig.fakes.pasteboard->contents == QList{kUsersClipboard}, row.outcome.has_value());
    }

    // After the hot key lets go the focus may rest on a container a moment: the delivery waits a few
    // short steps for it to come back to a text element; a menu never takes the text.
    FocusedTargetSnapshot container = writableTextField(), menu = otherField();
    container.element.isEditable = false, container.element.role = u"AXGroup"_qs;
    menu.isFocusedElement = false;  // a field found near a focused menu
    DeliveryRig settling([&](DeliveryRig& r) { inspected(container)(r), inspected(container)(r); });
    expectRow(settling, {"", {}, success, Kind::inserted, "insert.inserted_at_caret", {}});
    EXPECT_EQ(settling.fakes.focusSettleWaits, (QList<double>{0.025, 0.025}));
    DeliveryRig onMenu([&](DeliveryRig& r) { r.fakes.inspector->answer.setFallback(menu); });
    expectRow(onMenu, {"", {}, copied, copy, "fallback.focused_target_unavailable", {}});
    EXPECT_EQ(onMenu.fakes.focusSettleWaits.size(), 8);

    // A failed clipboard write gives the user's clipboard back.
    DeliveryRig refused(paste, [](DeliveryRig& r) {
        r.fakes.pasteboard->writeOutcome.pushFailure(ClipboardWriteError(ClipboardWriteError::Case::writeFailed));
    });
    EXPECT_THROW(std::rethrow_exception(refused.failure), ReportedDeliveryFailure);
    EXPECT_EQ(refused.fakes.pasteboard->calls.last(), u"restore(1)"_qs);
    EXPECT_EQ(refused.fakes.diagnostics->codes().value(0), u"runtime.fallback.clipboard_failed"_qs);
    EXPECT_TRUE(refused.fakes.pastePerformer->pastedInto.isEmpty());
}

// The keystroke went out, then the session was reset during the check: the words still reach the
// history and the status line, and the reset state stays.
TEST(TranscriptDelivery, APasteWhoseCheckIsCutShortIsStillRecorded) {
    DictationRig rig(
        [](FakeBootstrap& f, AppBootstrap&) { f.strategyResolver->strategy = TextInsertionStrategy::clipboardPaste; });
    rig.dictate();
    // Right after the release the focus gets a moment to move back to the field.
    EXPECT_EQ(rig.fakes.focusSettleWaits, QList<double>{TranscriptDelivery::kFocusSettleAfterReleaseSeconds});
    ASSERT_EQ(rig.fakes.pasteVerificationSleeper.waitingCount(), 1);
    rig.session().applyRuntimeReadiness(false);
    EXPECT_EQ(rig.state(), SessionState::idle());
    ASSERT_EQ(rig.fakes.history->entries.size(), 1);
    EXPECT_EQ(rig.fakes.history->entries.first().completionKind, Kind::pasteSentUnverified);
    EXPECT_EQ(rig.message(), u"Yapıştırma gönderildi. Metin panoda tutuldu."_qs);
}

}  // namespace
}  // namespace quorvelle::test
