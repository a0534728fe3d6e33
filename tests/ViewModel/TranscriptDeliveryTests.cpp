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
constexpr Kind Copy = Kind::copiedToClipboard;
using O = DeliveryValidationOutcome;
using P = SyntheticPasteError::Case;
using T = TextInsertionError::Case;

ClipboardItemSnapshot usersClipboard() {
    return ClipboardItemSnapshot{{{u"text/html"_qs, QByteArray("<b>mine</b>")}}};
}

FocusedTargetSnapshot otherField(qint32 processID = 4242) {
    FocusedTargetSnapshot target = writableTextField();
    target.app.processIdentifier = processID;
    target.element.identifier = u"subject-field"_qs;
    target.element.frame = QRectF(100, 400, 400, 30);
    return target;
}

// The delivery alone over fakes, the session uploading.
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

    explicit DeliveryRig(const std::function<void(DeliveryRig&)>& adjust) {
        fakes.pasteboard->contents = {usersClipboard()};
        fakes.sessionCoordinator->beginRecording();
        fakes.sessionCoordinator->beginUploading();
        if (adjust) adjust(*this);
        [](DeliveryRig* rig) -> QCoro::Task<void> {
            try {
                co_await rig->delivery.deliverTranscript(u"dictated words"_qs, 1.5, {});
            } catch (...) {
                rig->failure = std::current_exception();
            }
        }(this);
        fakes.pasteVerificationSleeper.finishAll();
        DictationRig::settle();
    }
    QString newestEvent() const { return fakes.diagnostics->codes().value(0); }
};

struct Row {
    const char* label;
    std::function<void(DeliveryRig&)> adjust;
    SessionState state;
    std::optional<Kind> kind;
    QString event;  // less "runtime."
    std::optional<O> outcome;
};

const auto insertFails = [](T c) {
    return [c](DeliveryRig& r) { r.fakes.textInserter->insertAnswer.pushFailure(TextInsertionError(c)); };
};
const auto inspected = [](FocusedTargetSnapshot t) {
    return [t](DeliveryRig& r) { r.fakes.inspector->answer.push(t); };
};

TEST(TranscriptDelivery, DecisionMatrix) {
    const auto copied = SessionState::fallbackCopied();
    const auto refused = SessionState::error(QuorvelleError(QuorvelleErrorCase::unsupportedTarget));
    const auto noTarget = [](bool fallback) {
        return [fallback](DeliveryRig& r) { r.focused.reset(), r.fallbackEnabled = fallback; };
    };
    const QList<Row> rows{
        {"no target captured", noTarget(true), copied, Copy, u"fallback.focused_target_unavailable"_qs,
         O::focusedTargetUnavailable},
        {"no target, clipboard off",
         noTarget(false),
         refused,
         {},
         u"fallback.clipboard_disabled"_qs,
         O::focusedTargetUnavailable},
        {"another application", inspected(otherField(77)), copied, Copy, u"fallback.frontmost_application_changed"_qs,
         O::frontmostApplicationChanged},
        {"another field", inspected(otherField()), copied, Copy, u"fallback.target_surface_changed"_qs,
         O::insertionSurfaceChanged},
        {"same field", nullptr, SessionState::success(), Kind::inserted, u"insert.inserted_at_caret"_qs,
         O::validatedSameSurface},
        {"write fails, pasteable", insertFails(T::writeFailed), SessionState::success(), Kind::pastedViaClipboard,
         u"insert.pasted_via_clipboard"_qs, O::validatedSameSurface},
        {"write fails, not pasteable",
         [](DeliveryRig& r) {
             r.focused->element.isEditable = false, r.focused->element.role = u"AXStaticText"_qs;
             r.fakes.inspector->answer.setFallback(*r.focused);
             insertFails(T::writeFailed)(r);
         },
         copied, Copy, u"fallback.clipboard_copied"_qs, O::validatedSameSurface},
        {"earlier dictation gone", insertFails(T::replacementHintMismatch), copied, Copy,
         u"fallback.replacement_hint_mismatch"_qs, O::replacementHintMismatch},
        {"clipboard chosen but off",
         [](DeliveryRig& r) {
             r.fakes.strategyResolver->strategy = TextInsertionStrategy::clipboardPaste, r.fallbackEnabled = false;
         },
         SessionState::success(), Kind::inserted, u"insert.inserted_at_caret"_qs, O::validatedSameSurface},
    };
    for (const Row& row : rows) {
        DeliveryRig rig(row.adjust);
        EXPECT_FALSE(rig.failure) << row.label;
        EXPECT_EQ(rig.fakes.sessionCoordinator->state(), row.state) << row.label;
        EXPECT_EQ(rig.history, row.kind ? QList<Kind>{*row.kind} : QList<Kind>{}) << row.label;
        EXPECT_EQ(rig.newestEvent(), u"runtime."_qs + row.event) << row.label;
        EXPECT_EQ(rig.delivery.record().validationOutcome, row.outcome) << row.label;
        // The status line says what the newest event says.
        EXPECT_EQ(rig.context.inlineMessage(), rig.fakes.diagnostics->stored.first().message) << row.label;
    }
}

TEST(TranscriptDelivery, PasteEndings) {
    const auto pasteFails = [](P c, std::function<void(DeliveryRig&)> also = {}) {
        return [c, also](DeliveryRig& r) {
            if (also) also(r);
            r.fakes.pastePerformer->outcome.pushFailure(SyntheticPasteError(c));
        };
    };
    const auto copied = SessionState::fallbackCopied();
    const auto success = SessionState::success();
    // The outcome column holds whether the user's clipboard is back: true is "validatedSameSurface".
    const QList<Row> rows{
        {"verified", {}, success, Kind::pastedViaClipboard, u"insert.pasted_via_clipboard"_qs, O::validatedSameSurface},
        {"cannot be checked",
         [](DeliveryRig& r) { r.fakes.textInserter->verifyAnswer.push(std::nullopt); },
         success,
         Kind::pasteSentUnverified,
         u"insert.paste_sent_unverified"_qs,
         {}},
        {"not in the field",
         [](DeliveryRig& r) { r.fakes.textInserter->verifyAnswer.push(false); },
         copied,
         Copy,
         u"fallback.clipboard_paste_verification_failed"_qs,
         {}},
        {"moved during the wait",
         [](DeliveryRig& r) { inspected(writableTextField())(r), inspected(otherField())(r); },
         copied,
         Copy,
         u"fallback.target_surface_changed"_qs,
         {}},
        {"another application in front",
         pasteFails(P::frontmostApplicationChanged),
         copied,
         Copy,
         u"fallback.frontmost_application_changed"_qs,
         {}},
        {"no key events, written directly", pasteFails(P::eventSourceUnavailable), success, Kind::inserted,
         u"insert.inserted_at_caret"_qs, O::validatedSameSurface},
        {"no key events after a failed write",
         pasteFails(P::eventSourceUnavailable,
                    [](DeliveryRig& r) {
                        r.fakes.strategyResolver->strategy = TextInsertionStrategy::accessibilityValueWrite;
                        insertFails(T::writeFailed)(r);
                    }),
         copied,
         Copy,
         u"fallback.clipboard_paste_failed"_qs,
         {}},
    };
    for (const Row& row : rows) {
        DeliveryRig rig([&](DeliveryRig& r) {
            r.fakes.strategyResolver->strategy = TextInsertionStrategy::clipboardPaste;
            if (row.adjust) row.adjust(r);
        });
        EXPECT_FALSE(rig.failure) << row.label;
        EXPECT_EQ(rig.fakes.sessionCoordinator->state(), row.state) << row.label;
        EXPECT_EQ(rig.history, QList<Kind>{*row.kind}) << row.label;
        EXPECT_EQ(rig.newestEvent(), u"runtime."_qs + row.event) << row.label;
        EXPECT_EQ(rig.fakes.pasteboard->contents == QList{usersClipboard()}, row.outcome.has_value()) << row.label;
    }
    DeliveryRig both([&](DeliveryRig& r) { rows.last().adjust(r); });
    EXPECT_EQ(both.delivery.record().insertionFailureReason,
              u"Direct text insertion write failed for the focused target. | Unable to create keyboard event source "
              u"for synthetic paste."_qs);
}

TEST(TranscriptDelivery, AFailedClipboardWriteGivesTheUsersClipboardBack) {
    DeliveryRig rig([](DeliveryRig& r) {
        r.fakes.strategyResolver->strategy = TextInsertionStrategy::clipboardPaste;
        r.fakes.pasteboard->writeOutcome.pushFailure(ClipboardWriteError(ClipboardWriteError::Case::writeFailed));
    });
    EXPECT_THROW(std::rethrow_exception(rig.failure), ReportedDeliveryFailure);
    EXPECT_EQ(rig.fakes.pasteboard->calls.last(), u"restore(1)"_qs);
    EXPECT_EQ(rig.newestEvent(), u"runtime.fallback.clipboard_failed"_qs);
    EXPECT_TRUE(rig.fakes.pastePerformer->pastedInto.isEmpty());
}

}  // namespace
}  // namespace quorvelle::test
