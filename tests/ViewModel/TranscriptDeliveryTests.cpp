#include "Services/Delivery/ClipboardWriteError.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"
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
    // The verdicts the delivery gave on the application's requests for the words.
    QList<bool> verdicts;
    TranscriptDelivery delivery{fakes.bootstrap(), context,
                                DeliveryOutlets{[this] { return fallbackEnabled; },
                                                [] { return false; },
                                                [this] { return focused; },
                                                [this](std::optional<FocusedTargetSnapshot> t) { focused = t; },
                                                [this](const QString&, double, Kind kind) { history << kind; },
                                                {},
                                                {}}};
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
QByteArray plainText(const QList<ClipboardItemSnapshot>& contents) {
    return contents.value(0).representations.value(u"text/plain"_qs);
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
    // Nothing captured and the field cannot be read at delivery either: no password field is known
    // to hold the focus, so the words are copied.
    const Adjust noTargetNorInspection = [](DeliveryRig& r) {
        r.focused.reset();
        r.fakes.inspector->answer.pushFailure(
            FocusedTargetInspectionError(FocusedTargetInspectionError::Case::focusedElementUnavailable));
    };
    const Adjust notPasteable = [](DeliveryRig& r) {
        r.focused->element.isEnabled = false;
        r.fakes.inspector->answer.setFallback(*r.focused);
        insertFails(T::writeFailed)(r);
    };
    // Recording started in a window whose application had no tree on the bus yet.
    const auto treeCameUp = [](const FocusedTargetSnapshot& now) {
        return [now](DeliveryRig& r) {
            FocusedTargetSnapshot window;
            window.app = r.focused->app, window.isWindowOnly = true, window.element.isEnabled = true;
            r.focused = window;
            r.fakes.inspector->answer.push(now);
        };
    };
    FocusedTargetSnapshot secret = writableTextField();
    secret.element.subrole = u"AXSecureTextField"_qs;
    const Kind copy = Kind::copiedToClipboard;
    const Row rows[] = {
        {"window's tree came up", treeCameUp(writableTextField()), success, Kind::inserted, "insert.inserted_at_caret",
         O::validatedSameSurface},
        {"window's tree came up, a password field", treeCameUp(secret),
         SessionState::blocked(SessionBlockReason::secureField), std::nullopt, "blocked.secure_field", std::nullopt},
        {"window's tree came up, another application", treeCameUp(otherField(77)), copied, copy,
         "fallback.frontmost_application_changed", O::frontmostApplicationChanged},
        {"no target captured", noTarget(true), copied, copy, "fallback.focused_target_unavailable",
         O::focusedTargetUnavailable},
        {"no target, the inspection fails", noTargetNorInspection, copied, copy, "fallback.focused_target_unavailable",
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

// Whatever road the dictation took (the field found at the press, a window standing in for it, a
// field looked for again at delivery, a paste checked afterwards), the field is read again before
// anything is written, pasted or copied: where a password field holds the focus, or is all a window
// whose focus cannot be told shows, the session ends as the press's secure-field block does. Nothing
// is written or pasted there, the user's clipboard is as it was, the history keeps nothing.
TEST(TranscriptDelivery, NoRoadDeliversToASecureField) {
    FocusedTargetSnapshot secret = writableTextField();
    secret.element.subrole = u"AXSecureTextField"_qs;
    secret.element.identifier = u"password-field"_qs;
    FocusedTargetSnapshot nearFocus = secret;  // shown in a window whose focus cannot be told
    nearFocus.isFocusedElement = false;
    FocusedTargetSnapshot window;  // a window without a tree, named as a password prompt
    window.app = writableTextField().app, window.isWindowOnly = true, window.element.isEnabled = true;
    FocusedTargetSnapshot prompt = window;
    prompt.element.subrole = u"AXSecureTextField"_qs;
    FocusedTargetSnapshot container = writableTextField();
    container.element.isEditable = false, container.element.role = u"AXGroup"_qs;

    const auto recordedOn = [](const FocusedTargetSnapshot& captured) {
        return [captured](DeliveryRig& r) { r.focused = captured; };
    };
    const auto nowOn = [](const FocusedTargetSnapshot& now) {
        return [now](DeliveryRig& r) { r.fakes.inspector->answer.setFallback(now); };
    };
    const auto then = [](const QList<Adjust>& steps) {
        return [steps](DeliveryRig& r) {
            for (const Adjust& step : steps)
                step(r);
        };
    };
    const Adjust released = [](DeliveryRig& r) { r.delivery.noteHotkeyReleased(); };
    const Adjust noTarget = [](DeliveryRig& r) { r.focused.reset(); };
    const Adjust clipboardOff = [](DeliveryRig& r) { r.fallbackEnabled = false; };
    const Adjust pasteLastLook = [&](DeliveryRig& r) {  // the field at delivery, a password field right before the keys
        paste(r), inspected(writableTextField())(r), nowOn(secret)(r);
    };
    const Adjust pasteAfterFailedWrite = [&](DeliveryRig& r) {
        insertFails(T::writeFailed)(r), inspected(writableTextField())(r), nowOn(secret)(r);
    };
    // The keys went to the field; then a password field took the focus, and the field lacks the words.
    const Adjust pasteChecked = [&](DeliveryRig& r) {
        paste(r), r.fakes.textInserter->verifyAnswer.setFallback(PasteReadBack::missing);
        r.fakes.pastePerformer->afterKeys = [&r, secret] { r.fakes.inspector->answer.setFallback(secret); };
    };
    const struct {
        const char* label;
        Adjust adjust;
        bool pasteWentOut;  // into the field checked before it, never into the password field
    } roads[] = {
        {"the field of the press, a password field at delivery", nowOn(secret), false},
        {"another application's password field at delivery", nowOn([&] {
             FocusedTargetSnapshot other = secret;
             other.app.processIdentifier = 77;
             return other;
         }()),
         false},
        {"recorded on a password field", then({recordedOn(secret), nowOn(secret)}), false},
        {"a window stood in, its tree came up on a password field", then({recordedOn(window), nowOn(secret)}), false},
        {"a window stood in, a password field where its focus cannot be told",
         then({recordedOn(window), nowOn(nearFocus)}), false},
        {"a window stood in, named as a password prompt", then({recordedOn(window), nowOn(prompt)}), false},
        {"a window stood in, the clipboard off", then({recordedOn(window), nowOn(secret), clipboardOff}), false},
        {"looked for again after the release: a container, then a password field",
         then({released, inspected(container), nowOn(secret)}), false},
        {"no field recorded, a password field has the focus", then({noTarget, nowOn(secret)}), false},
        {"paste chosen, clipboard off", then({strategy(TextInsertionStrategy::clipboardPaste, false), nowOn(secret)}),
         false},
        {"paste chosen, a password field at the last look before the keys", pasteLastLook, false},
        {"the write failed, paste chosen, a password field at the last look", pasteAfterFailedWrite, false},
        {"pasted, nothing in the field, a password field at the check", pasteChecked, true},
    };
    for (const auto& road : roads) {
        SCOPED_TRACE(road.label);
        DeliveryRig rig(road.adjust);
        EXPECT_FALSE(rig.failure);
        EXPECT_TRUE(rig.history.isEmpty());
        EXPECT_EQ(rig.fakes.pasteboard->contents, QList{kUsersClipboard});
        if (road.pasteWentOut) {
            // The keys went out and the words are not where they were sent: a key that overtook them
            // may have taken them into the password field, and the user is told so, not that they
            // were blocked.
            EXPECT_EQ(rig.fakes.sessionCoordinator->state(),
                      SessionState::error(QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure)));
            EXPECT_EQ(rig.fakes.diagnostics->codes().value(0), u"runtime.fallback.secure_field_may_hold_words"_qs);
            EXPECT_EQ(rig.context.inlineMessage(),
                      u"The words may have gone into a password field. Check it before you go on."_qs);
        } else {
            EXPECT_EQ(rig.fakes.sessionCoordinator->state(), SessionState::blocked(SessionBlockReason::secureField));
            EXPECT_EQ(rig.fakes.diagnostics->codes().value(0), u"runtime.blocked.secure_field"_qs);
            EXPECT_EQ(rig.context.inlineMessage(), u"Secure field algılandı."_qs);
        }
        EXPECT_FALSE(rig.delivery.record().insertionOutcome);
        for (const FocusedTargetSnapshot& target : rig.fakes.textInserter->insertedInto)
            EXPECT_FALSE(target.element.isSecure() || target.isWindowOnly);
        EXPECT_EQ(rig.fakes.pastePerformer->pastedInto.size(), road.pasteWentOut ? 1 : 0);
        for (const FocusedTargetSnapshot& target : rig.fakes.pastePerformer->pastedInto)
            EXPECT_FALSE(target.element.isSecure() || target.isWindowOnly);
    }
}

TEST(TranscriptDelivery, PasteEndingsAndTheUsersClipboard) {
    const auto copied = SessionState::fallbackCopied(), success = SessionState::success();
    const Adjust uncheckable = [](DeliveryRig& r) {
        r.fakes.textInserter->verifyAnswer.setFallback(PasteReadBack::unreadable);
    };
    const Adjust missing = [](DeliveryRig& r) {
        r.fakes.textInserter->verifyAnswer.setFallback(PasteReadBack::missing);
    };
    const Adjust readInPart = [uncheckable](DeliveryRig& r) {
        uncheckable(r), r.fakes.textInserter->readsWhole = false;
    };
    const Adjust untold = [](DeliveryRig& r) { r.fakes.textInserter->verifyAnswer.setFallback(PasteReadBack::untold); };
    const Adjust moved = [](DeliveryRig& r) { inspected(writableTextField())(r), inspected(otherField())(r); };
    const Adjust movedAfterKeys = [missing](DeliveryRig& r) {
        missing(r);
        r.fakes.pastePerformer->afterKeys = [&r] { r.fakes.inspector->answer.setFallback(otherField()); };
    };
    const Adjust afterFailedWrite = [](DeliveryRig& r) {
        strategy(TextInsertionStrategy::accessibilityValueWrite)(r);
        insertFails(T::writeFailed)(r), pasteFails(P::eventSourceUnavailable)(r);
    };
    const Kind copy = Kind::copiedToClipboard;
    const O back = O::validatedSameSurface;
    const Row rows[] = {
        {"verified", {}, success, Kind::pastedViaClipboard, "insert.pasted_via_clipboard", back},
        {"cannot be checked", uncheckable, success, Kind::pasteSentUnverified, "insert.paste_sent_unverified", {}},
        // The words may stand beyond what can be read: the clipboard is the user's again.
        {"read only in part", readInPart, success, Kind::pasteSentUnverified, "insert.paste_sent_unverified", back},
        // Read whole, it shows the words but cannot show they took nothing else (a terminal's screen
        // its program drew anew): told sent, the user's clipboard back, as there.
        {"read whole, untold", untold, success, Kind::pasteSentUnverified, "insert.paste_sent_unverified", back},
        {"not in the field", missing, copied, copy, "fallback.clipboard_paste_verification_failed", {}},
        {"moved before the keys: none sent", moved, copied, copy, "fallback.target_surface_changed", {}},
        {"moved after the keys, nothing in the field",
         movedAfterKeys,
         copied,
         copy,
         "fallback.target_surface_changed",
         {}},
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
        // Only where the words stay on the clipboard does the message say so.
        if (row.kind == Kind::pasteSentUnverified) {
            EXPECT_EQ(rig.context.inlineMessage()->endsWith(u"Metin panoda tutuldu."_qs), !row.outcome);
        }
        // A caret right after a word gets a space before the pasted words; the copy the user keeps
        // is the transcript alone.
        DeliveryRig spaced(paste, [&](DeliveryRig& r) {
            r.fakes.textInserter->pastePrefix = u" "_qs;
            if (row.adjust) row.adjust(r);
        });
        EXPECT_EQ(plainText(spaced.fakes.pasteboard->contents),
                  row.outcome ? plainText({kUsersClipboard}) : QByteArray("dictated words"));
        for (const QString& checked : spaced.fakes.textInserter->verifiedTexts)
            EXPECT_EQ(checked, u" dictated words"_qs);
    }

    // A failed clipboard write gives the user's clipboard back.
    DeliveryRig refused(paste, [](DeliveryRig& r) {
        r.fakes.pasteboard->writeOutcome.pushFailure(ClipboardWriteError(ClipboardWriteError::Case::writeFailed));
    });
    EXPECT_THROW(std::rethrow_exception(refused.failure), ReportedDeliveryFailure);
    EXPECT_EQ(refused.fakes.pasteboard->calls.last(), u"restore(1)"_qs);
    EXPECT_EQ(refused.fakes.diagnostics->codes().value(0), u"runtime.fallback.clipboard_failed"_qs);
    EXPECT_TRUE(refused.fakes.pastePerformer->pastedInto.isEmpty());
}

// Another application copies right after the words are written: its copy stays on every road, and where
// the keys went out and the words are not known to have landed, nothing says they were copied.
TEST(TranscriptDelivery, AnotherApplicationsCopyMadeDuringThePasteStays) {
    const ClipboardItemSnapshot theirs{{{u"text/plain"_qs, QByteArray("their copy")}}};
    const auto copied = SessionState::fallbackCopied(), success = SessionState::success();
    const Adjust uncheckable = [](DeliveryRig& r) {
        r.fakes.textInserter->verifyAnswer.setFallback(PasteReadBack::unreadable);
    };
    const Adjust missing = [](DeliveryRig& r) {
        r.fakes.textInserter->verifyAnswer.setFallback(PasteReadBack::missing);
    };
    const Adjust movedAfterKeys = [missing](DeliveryRig& r) {
        missing(r);
        r.fakes.pastePerformer->afterKeys = [&r] { r.fakes.inspector->answer.setFallback(otherField()); };
    };
    const Kind sent = Kind::pasteSentUnverified, copy = Kind::copiedToClipboard;
    const char* sentEvent = "insert.paste_sent_unverified";
    const SessionState noField = SessionState::error(QuorvelleError(QuorvelleErrorCase::unsupportedTarget));
    const Adjust noKeysNoWrite = [](DeliveryRig& r) {
        pasteFails(P::eventSourceUnavailable)(r);
        FocusedTargetSnapshot unwritable = writableTextField();
        unwritable.element.supportsValueWrite = false;
        r.focused = unwritable;
        r.fakes.inspector->answer.setFallback(unwritable);
    };
    const Adjust anotherFieldAtTheLook = [](DeliveryRig& r) {
        r.fakes.pastePerformer->beforeLastLook = [&r] {
            r.fakes.inspector->answer.setFallback(otherField(writableTextField().app.processIdentifier));
        };
    };
    const Adjust overtakenEveryTime = [](DeliveryRig& r) {
        r.fakes.pastePerformer->overtaken = ClipboardPasteDelivery::kLastLookAttempts;
    };
    const Row rows[] = {
        {"verified", {}, success, Kind::pastedViaClipboard, "insert.pasted_via_clipboard", {}},
        {"cannot be checked", uncheckable, success, sent, sentEvent, {}},
        {"not in the field", missing, success, sent, sentEvent, {}},
        {"moved after the keys, nothing in the field", movedAfterKeys, success, sent, sentEvent, {}},
        {"no key events, written directly",
         pasteFails(P::eventSourceUnavailable),
         success,
         Kind::inserted,
         "insert.inserted_at_caret",
         {}},
        // No key took the words, and another application copied after them: kept in the history, the
        // user asked for a field, never told they were copied.
        {"another application in front",
         pasteFails(P::frontmostApplicationChanged),
         noField,
         copy,
         "fallback.frontmost_application_changed",
         {}},
        {"no key events, a field without direct writes",
         noKeysNoWrite,
         noField,
         copy,
         "fallback.clipboard_paste_failed",
         {}},
        {"another field at the last look", anotherFieldAtTheLook, noField, copy, "fallback.target_surface_changed", {}},
        {"keys overtaken at every look", overtakenEveryTime, noField, copy, "fallback.focused_target_unavailable", {}},
    };
    for (const Row& row : rows) {
        for (const QString& prefix : {QString(), u" "_qs}) {
            SCOPED_TRACE(std::string(row.label) + (prefix.isEmpty() ? "" : ", a space before the words"));
            DeliveryRig rig(paste, [&](DeliveryRig& r) {
                r.fakes.pasteboard->copyAfterWrite = theirs;
                r.fakes.textInserter->pastePrefix = prefix;
                if (row.adjust) row.adjust(r);
            });
            expectRow(rig, row);
            EXPECT_EQ(rig.fakes.pasteboard->contents, QList{theirs});
            if (row.kind == sent) {
                EXPECT_EQ(rig.context.inlineMessage(), u"Yapıştırma gönderildi."_qs);
            }
            if (row.state == noField) {
                EXPECT_EQ(rig.context.inlineMessage(), rig.context.strings().errorMessage(*row.state.error()));
                EXPECT_FALSE(rig.context.inlineMessage().value_or(QString()).contains(u"kopyaland"_qs));
            }
        }
    }
}

// The application in front still names an element of another of its windows as its focus (a busy one
// tells of the focus its window in front took seconds late): the delivery looks again at each focus
// event for longer than for a focus merely on its way, takes the field once it is named, and copies the
// words where it never is; a focus on its way keeps the short bound.
TEST(TranscriptDelivery, WaitsLongerForTheFocusOfTheFrontWindowWhileAnotherWindowIsNamed) {
    using IE = FocusedTargetInspectionError;
    const auto lateBy = [](int looks, const IE& error) {
        return [looks, error](DeliveryRig& r) {
            for (int look = 0; look < looks; ++look)
                r.fakes.inspector->answer.pushFailure(error);
            r.fakes.focusChanges->onWait = [&r] { r.fakes.clock.advance(0.5); };
        };
    };
    const IE elsewhere = IE::focusInAnotherWindow(), onItsWay(IE::Case::focusedElementUnavailable);
    DeliveryRig named(lateBy(5, elsewhere));
    expectRow(named, {"", {}, SessionState::success(), Kind::inserted, "insert.inserted_at_caret", {}});
    EXPECT_EQ(named.fakes.focusChanges->timeouts.size(), 5);
    DeliveryRig neverNamed(lateBy(100, elsewhere));
    expectRow(
        neverNamed,
        {"", {}, SessionState::fallbackCopied(), Kind::copiedToClipboard, "fallback.focused_target_unavailable", {}});
    EXPECT_EQ(neverNamed.fakes.focusChanges->timeouts.size(),
              int(TranscriptDelivery::kFocusInAnotherWindowLimitSeconds / 0.5));
    EXPECT_TRUE(neverNamed.fakes.textInserter->insertedInto.isEmpty());
    DeliveryRig away(lateBy(5, onItsWay));
    expectRow(
        away,
        {"", {}, SessionState::fallbackCopied(), Kind::copiedToClipboard, "fallback.focused_target_unavailable", {}});
    EXPECT_EQ(away.fakes.focusChanges->timeouts.size(), int(TranscriptDelivery::kFocusSettleLimitSeconds / 0.5));
}

// The text goes at once where the focus rests on the recorded field. Where it has not settled (a
// container, a menu, or just after the release another element), each focus event brings a new
// look, within a time bound; without a service that reports them, a short step of the clock.
TEST(TranscriptDelivery, WaitsForTheFocusOnlyWhileItHasNotSettledAndThenOnItsEvents) {
    const auto success = SessionState::success(), copied = SessionState::fallbackCopied();
    const Kind copy = Kind::copiedToClipboard;
    const Row inserted{"", {}, success, Kind::inserted, "insert.inserted_at_caret", {}};
    const Adjust released = [](DeliveryRig& r) { r.delivery.noteHotkeyReleased(); };
    FocusedTargetSnapshot container = writableTextField(), menu = otherField();
    container.element.isEditable = false, container.element.role = u"AXGroup"_qs;
    menu.isFocusedElement = false;  // a field found near a focused menu

    DeliveryRig held(released);
    expectRow(held, inserted);
    EXPECT_TRUE(held.fakes.focusChanges->timeouts.isEmpty() && held.fakes.focusSettleWaits.isEmpty());
    // Taken away during the hot key's grab, the focus is waited for even where its element still answers.
    DeliveryRig away(released, [](DeliveryRig& r) { r.fakes.focusChanges->focusAway = true; });
    expectRow(away, inserted);
    EXPECT_EQ(away.fakes.focusChanges->timeouts, QList<double>{TranscriptDelivery::kFocusSettleLimitSeconds});

    DeliveryRig settling(released, [&](DeliveryRig& r) { inspected(container)(r), inspected(container)(r); });
    expectRow(settling, inserted);
    EXPECT_EQ(settling.fakes.focusChanges->timeouts, (QList<double>{1.0, 1.0}));
    DeliveryRig passing(released, inspected(otherField()));
    expectRow(passing, inserted);
    EXPECT_EQ(passing.fakes.focusChanges->timeouts.size(), 1);
    // Long after the release another field means the user moved on: no wait.
    DeliveryRig movedOn(released, [](DeliveryRig& r) { r.fakes.clock.advance(1.0), inspected(otherField())(r); });
    expectRow(movedOn, {"", {}, copied, copy, "fallback.target_surface_changed", {}});
    EXPECT_TRUE(movedOn.fakes.focusChanges->timeouts.isEmpty());

    // A menu never takes the text: the waits end by their count, or by the time they take.
    DeliveryRig onMenu([&](DeliveryRig& r) { r.fakes.inspector->answer.setFallback(menu); });
    expectRow(onMenu, {"", {}, copied, copy, "fallback.focused_target_unavailable", {}});
    EXPECT_EQ(onMenu.fakes.focusChanges->timeouts.size(), TranscriptDelivery::kFocusSettleEventLimit);
    DeliveryRig slowEvents([&](DeliveryRig& r) {
        r.fakes.inspector->answer.setFallback(menu);
        r.fakes.focusChanges->onWait = [&r] { r.fakes.clock.advance(0.4); };
    });
    ASSERT_EQ(slowEvents.fakes.focusChanges->timeouts.size(), 3);
    EXPECT_NEAR(slowEvents.fakes.focusChanges->timeouts.last(), 0.2, 1e-9);

    DictationRig unreported([&](FakeBootstrap& f, AppBootstrap& services) {
        services.focusChangeAwaiter = nullptr;
        // The press, its decision and the look as the recording stops find the field.
        for (int look = 0; look < 3; ++look)
            f.inspector->answer.push(writableTextField());
        f.inspector->answer.push(container);
    });
    unreported.dictate();
    EXPECT_EQ(unreported.state(), success);
    EXPECT_EQ(unreported.fakes.focusSettleWaits, QList<double>{TranscriptDelivery::kFocusSettleStepSeconds});
}

// The user opened one of our own windows (the tray panel) while the words were on their way: they go to
// the clipboard at once, told that another application is in front, on either road and also right
// after the release, when a field elsewhere would still be waited for.
TEST(TranscriptDelivery, OurOwnWindowInFrontCopiesAtOnceWithoutWaitingForTheFocus) {
    const Row copied{
        "", {}, SessionState::fallbackCopied(), Kind::copiedToClipboard, "fallback.frontmost_application_changed", {}};
    const Adjust ownWindow = [](DeliveryRig& r) {
        r.fakes.inspector->answer.setFallback(writableTextField());
        r.fakes.inspector->answer.pushFailure(FocusedTargetInspectionError::ownWindowInFront());
    };
    const Adjust released = [](DeliveryRig& r) { r.delivery.noteHotkeyReleased(); };
    // Direct road: the look before the write; paste road: the last look before the keys.
    const Adjust pasteLastLook = [&](DeliveryRig& r) {
        paste(r);
        r.fakes.inspector->answer.push(writableTextField());
        ownWindow(r);
    };
    for (const auto& [label, road] : {std::pair<const char*, Adjust>{"direct", ownWindow}, {"paste", pasteLastLook}}) {
        for (const bool justReleased : {false, true}) {
            SCOPED_TRACE(std::string(label) + (justReleased ? ", just released" : ""));
            DeliveryRig rig(road, justReleased ? released : Adjust{});
            expectRow(rig, copied);
            EXPECT_TRUE(rig.fakes.focusChanges->timeouts.isEmpty()) << rig.fakes.focusChanges->timeouts.size();
            EXPECT_EQ(plainText(rig.fakes.pasteboard->contents), "dictated words");
            EXPECT_TRUE(rig.fakes.textInserter->insertedInto.isEmpty());
            EXPECT_TRUE(rig.fakes.pastePerformer->pastedInto.isEmpty());
        }
    }
}

// A window whose application is on its way to the accessibility bus, in front at delivery, is looked
// at again once the application came (or its while was over), without holding the thread: nothing is
// written meanwhile, and what it shows then decides, a password field as on every other road.
TEST(TranscriptDelivery, AWindowWhoseApplicationIsOnItsWayIsLookedAtAgainOnceItCame) {
    FocusedTargetSnapshot arriving;
    arriving.app = writableTextField().app;
    arriving.element.isEnabled = true;
    arriving.isWindowOnly = arriving.isApplicationArriving = true;
    FocusedTargetSnapshot secret = writableTextField();
    secret.element.subrole = u"AXSecureTextField"_qs;
    DeliveryRig waiting(inspected(arriving), [&](DeliveryRig& r) {
        r.fakes.inspector->answer.setFallback(secret);  // what the window shows once its application came
        r.fakes.inspector->arrival.setHolding(true);
    });
    EXPECT_EQ(waiting.fakes.inspector->arrivalWaits, 1);
    EXPECT_EQ(waiting.fakes.inspector->callCount, 1);
    EXPECT_EQ(waiting.fakes.sessionCoordinator->state(), SessionState::uploading());
    waiting.fakes.inspector->arrival.releaseAll();
    settle();
    EXPECT_EQ(waiting.fakes.inspector->callCount, 2);
    EXPECT_EQ(waiting.fakes.sessionCoordinator->state(), SessionState::blocked(SessionBlockReason::secureField));
    EXPECT_TRUE(waiting.fakes.textInserter->insertedInto.isEmpty() && waiting.history.isEmpty());

    DeliveryRig came(inspected(arriving));
    expectRow(came, {"", {}, SessionState::success(), Kind::inserted, "insert.inserted_at_caret", {}});
    EXPECT_EQ(came.fakes.inspector->callCount, 2);
    EXPECT_TRUE(came.fakes.focusChanges->timeouts.isEmpty()) << "waited for a focus event besides";
    // Still a window on its way after the wait (another one came to the front): no place for the words
    // until a later look tells what it holds.
    DeliveryRig again(inspected(arriving), [&](DeliveryRig& r) {
        inspected(arriving)(r);
        r.fakes.inspector->answer.setFallback(secret);
    });
    EXPECT_EQ(again.fakes.sessionCoordinator->state(), SessionState::blocked(SessionBlockReason::secureField));
    EXPECT_TRUE(again.history.isEmpty());
    // Nothing recorded at the press to compare with: the words go to the clipboard only once the front
    // window's application came, and not where it shows a password field.
    DeliveryRig uncaptured([&](DeliveryRig& r) {
        r.focused.reset();
        r.fakes.inspector->answer.setFallback(secret);
        r.fakes.inspector->arrival.setHolding(true);
    });
    EXPECT_EQ(uncaptured.fakes.sessionCoordinator->state(), SessionState::uploading());
    EXPECT_EQ(uncaptured.fakes.inspector->callCount, 0);
    uncaptured.fakes.inspector->arrival.releaseAll();
    settle();
    EXPECT_EQ(uncaptured.fakes.sessionCoordinator->state(), SessionState::blocked(SessionBlockReason::secureField));
    EXPECT_EQ(plainText(uncaptured.fakes.pasteboard->contents), QByteArray());
    // A window known at once is not waited for.
    DeliveryRig known({});
    EXPECT_EQ(known.fakes.inspector->arrivalWaits, 0);
}

// The check asks the application about its field only after it fetched the words (or had its time
// to): an application waiting for our clipboard may answer nothing until it has them. The fixed wait
// runs from there.
TEST(TranscriptDelivery, APasteIsCheckedOnlyAfterTheApplicationFetchedTheWords) {
    ManualSleeper fetch;
    qsizetype heldAtKeys = -1;
    DictationRig rig([&](FakeBootstrap& f, AppBootstrap&) {
        f.strategyResolver->strategy = TextInsertionStrategy::clipboardPaste;
        f.pasteboard->fetchWait = fetch.sleeper();
        f.pastePerformer->keysOut = [&f, &heldAtKeys] { heldAtKeys = f.history->held.size(); };
    });
    rig.dictate();
    ASSERT_EQ(rig.fakes.pastePerformer->pastedInto.size(), 1);
    EXPECT_EQ(fetch.requestedSeconds(), QList<double>{ClipboardPasteDelivery::kFetchLimitSeconds});
    EXPECT_EQ(rig.fakes.pasteVerificationSleeper.waitingCount(), 0);
    EXPECT_TRUE(rig.fakes.textInserter->verifiedTexts.isEmpty());

    fetch.finishAll(), settle();
    ASSERT_EQ(rig.fakes.pasteVerificationSleeper.waitingCount(), 1);
    EXPECT_TRUE(rig.fakes.textInserter->verifiedTexts.isEmpty());
    rig.fakes.pasteVerificationSleeper.finishAll(), settle();
    EXPECT_EQ(rig.fakes.textInserter->verifiedTexts.size(), 1);
    EXPECT_EQ(rig.state(), SessionState::success());
}

// The keystroke went out, then the session was reset during the check: the words still reach the
// history and the status line, and the reset state stays.
TEST(TranscriptDelivery, APasteWhoseCheckIsCutShortIsStillRecorded) {
    DictationRig rig(
        [](FakeBootstrap& f, AppBootstrap&) { f.strategyResolver->strategy = TextInsertionStrategy::clipboardPaste; });
    rig.dictate();
    ASSERT_EQ(rig.fakes.pasteVerificationSleeper.waitingCount(), 1);
    rig.session().applyRuntimeReadiness(false);
    EXPECT_EQ(rig.state(), SessionState::idle());
    ASSERT_EQ(rig.fakes.history->entries.size(), 1);
    EXPECT_EQ(rig.fakes.history->entries.first().completionKind, Kind::pasteSentUnverified);
    EXPECT_EQ(rig.message(), u"Yapıştırma gönderildi. Metin panoda tutuldu."_qs);
}

// Once the paste went out, the history holds the words while the check runs (the process may end
// before it does); the entry the check ends with takes the held one's place. A paste that was
// never sent holds nothing.
TEST(TranscriptDelivery, ASentPasteIsHeldByTheHistoryUntilItsCheckEnds) {
    ManualSleeper fetch;
    qsizetype heldAtKeys = -1;
    DictationRig rig([&](FakeBootstrap& f, AppBootstrap&) {
        f.strategyResolver->strategy = TextInsertionStrategy::clipboardPaste;
        f.pasteboard->fetchWait = fetch.sleeper();
        f.pastePerformer->keysOut = [&f, &heldAtKeys] { heldAtKeys = f.history->held.size(); };
    });
    rig.dictate();
    FakeTranscriptHistoryStore& history = *rig.fakes.history;
    ASSERT_EQ(history.held.size(), 1);
    const TranscriptHistoryEntry held = history.held.first();
    EXPECT_EQ(held.completionKind, Kind::pasteSentUnverified);
    EXPECT_FALSE(held.transcript.isEmpty());
    EXPECT_TRUE(history.entries.isEmpty());

    // Held before the keys went out: words that show in the field are never lost to a kill.
    EXPECT_EQ(heldAtKeys, 1);
    fetch.finishAll(), settle();
    rig.fakes.pasteVerificationSleeper.finishAll(), settle();
    ASSERT_EQ(history.entries.size(), 1);
    EXPECT_EQ(history.entries.first().id, held.id);
    EXPECT_EQ(history.entries.first().transcript, held.transcript);
    EXPECT_EQ(history.entries.first().completionKind, Kind::pastedViaClipboard);

    DictationRig refused([](FakeBootstrap& f, AppBootstrap&) {
        f.strategyResolver->strategy = TextInsertionStrategy::clipboardPaste;
        f.pastePerformer->outcome.pushFailure(SyntheticPasteError(P::frontmostApplicationChanged));
    });
    refused.dictate();
    EXPECT_TRUE(refused.fakes.history->held.isEmpty());
    ASSERT_EQ(refused.fakes.history->entries.size(), 1);
    EXPECT_EQ(refused.fakes.history->entries.first().completionKind, Kind::copiedToClipboard);

    // The check finds nothing in the field and a password field focused: the held entry goes.
    FocusedTargetSnapshot secret = writableTextField();
    secret.element.subrole = u"AXSecureTextField"_qs;
    DictationRig withdrawn([&](FakeBootstrap& f, AppBootstrap&) {
        f.strategyResolver->strategy = TextInsertionStrategy::clipboardPaste;
        f.textInserter->verifyAnswer.setFallback(PasteReadBack::missing);
        f.pastePerformer->afterKeys = [&f, secret] { f.inspector->answer.setFallback(secret); };
    });
    withdrawn.dictate();
    // The check reads the field again a few times before it looks at the focus.
    for (int turn = 0; turn < 4 + ClipboardPasteDelivery::kLateShowRereads; ++turn)
        withdrawn.fakes.pasteVerificationSleeper.finishAll(), settle();
    EXPECT_EQ(withdrawn.state(), SessionState::error(QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure)));
    ASSERT_EQ(withdrawn.fakes.history->held.size(), 1);
    EXPECT_EQ(withdrawn.fakes.history->withdrawn, QList{withdrawn.fakes.history->held.first().id});
    EXPECT_TRUE(withdrawn.fakes.history->entries.isEmpty());

    // A key that overtook the last look holds the keys back: the entry held for them goes, and the
    // paste after the next look holds its own.
    DictationRig overtaken([&](FakeBootstrap& f, AppBootstrap&) {
        f.strategyResolver->strategy = TextInsertionStrategy::clipboardPaste;
        f.pastePerformer->keyDuringLook = true;
    });
    overtaken.dictate();
    for (int turn = 0; turn < 4; ++turn)
        overtaken.fakes.pasteVerificationSleeper.finishAll(), settle();
    EXPECT_EQ(overtaken.fakes.pastePerformer->pastedInto.size(), 1);
    const FakeTranscriptHistoryStore& kept = *overtaken.fakes.history;
    ASSERT_EQ(kept.held.size(), 2);
    EXPECT_EQ(kept.withdrawn, QList{kept.held.first().id});
    ASSERT_EQ(kept.entries.size(), 1);
    EXPECT_EQ(kept.entries.first().id, kept.held.last().id);
    EXPECT_EQ(kept.entries.first().completionKind, Kind::pastedViaClipboard);
}

// A direct write's words may show in the field before the write returns: the history holds them,
// as written, before the write begins, and the entry the write ends with takes the held one's
// place. A write that failed takes its held entry back; the copy made instead has its own.
TEST(TranscriptDelivery, ADirectWriteIsHeldByTheHistoryBeforeTheWriteBegins) {
    QList<TranscriptHistoryEntry> heldAtWrite, keptAtWrite;
    const auto watchWrite = [&](FakeBootstrap& f) {
        f.textInserter->onInsert = [&f, &heldAtWrite, &keptAtWrite] {
            heldAtWrite = f.history->held, keptAtWrite = f.history->entries;
        };
    };
    DictationRig rig([&](FakeBootstrap& f, AppBootstrap&) { watchWrite(f); });
    rig.dictate();
    FakeTranscriptHistoryStore& history = *rig.fakes.history;
    ASSERT_EQ(heldAtWrite.size(), 1);
    EXPECT_EQ(heldAtWrite.first().completionKind, Kind::inserted);
    EXPECT_TRUE(keptAtWrite.isEmpty());
    ASSERT_EQ(history.entries.size(), 1);
    EXPECT_EQ(history.entries.first().id, heldAtWrite.first().id);
    EXPECT_EQ(history.entries.first().transcript, heldAtWrite.first().transcript);
    EXPECT_TRUE(history.withdrawn.isEmpty());

    DictationRig failed([&](FakeBootstrap& f, AppBootstrap&) {
        watchWrite(f);
        f.textInserter->insertAnswer.pushFailure(TextInsertionError(T::replacementHintMismatch));
    });
    failed.dictate();
    FakeTranscriptHistoryStore& failedHistory = *failed.fakes.history;
    ASSERT_EQ(failedHistory.held.size(), 1);
    EXPECT_EQ(failedHistory.withdrawn, QList{failedHistory.held.first().id});
    ASSERT_EQ(failedHistory.entries.size(), 1);
    EXPECT_EQ(failedHistory.entries.first().completionKind, Kind::copiedToClipboard);
    EXPECT_NE(failedHistory.entries.first().id, failedHistory.held.first().id);
}

// The keys go to the field that the last look before them finds, and the paste is judged on that
// field first: words there are a delivery told as one, wherever the focus went since.
TEST(TranscriptDelivery, APasteIsJudgedOnTheFieldItWasSentTo) {
    FocusedTargetSnapshot secret = writableTextField();
    secret.element.subrole = u"AXSecureTextField"_qs;
    FocusedTargetSnapshot lastSeen = writableTextField();  // the field again, a little moved
    lastSeen.element.frame->translate(2, 0);
    DeliveryRig rig(paste, [&](DeliveryRig& r) {
        inspected(writableTextField())(r), inspected(lastSeen)(r);
        r.fakes.pastePerformer->afterKeys = [&r, secret] { r.fakes.inspector->answer.setFallback(secret); };
    });
    expectRow(rig, {"", {}, SessionState::success(), Kind::pastedViaClipboard, "insert.pasted_via_clipboard", {}});
    EXPECT_EQ(rig.fakes.pasteboard->contents, QList{kUsersClipboard});
    ASSERT_EQ(rig.fakes.textInserter->verifiedOn.size(), 1);
    EXPECT_EQ(rig.fakes.textInserter->verifiedOn.first().element.frame, lastSeen.element.frame);

    // Unreadable there (an editor that made a new object for its line): what stands for it now tells.
    FocusedTargetSnapshot renewed = lastSeen;
    renewed.element.title = u"new line object"_qs;
    renewed.element.identifier = std::nullopt;
    DeliveryRig replaced(paste, [&](DeliveryRig& r) {
        inspected(writableTextField())(r), inspected(lastSeen)(r);
        r.fakes.textInserter->verifyAnswer.push(PasteReadBack::unreadable);
        r.fakes.pastePerformer->afterKeys = [&r, renewed] { r.fakes.inspector->answer.setFallback(renewed); };
    });
    expectRow(replaced, {"", {}, SessionState::success(), Kind::pastedViaClipboard, "insert.pasted_via_clipboard", {}});
    ASSERT_EQ(replaced.fakes.textInserter->verifiedOn.size(), 2);
    EXPECT_EQ(replaced.fakes.textInserter->verifiedOn.last().element.title, renewed.element.title);

    // Gone, with another object of its window focused (Calc remakes its cell editor's line once the
    // text changes): the words at the paste's place there are the delivery. Not so for another
    // window's field, nor where the field the keys went to reads without the words.
    FocusedTargetSnapshot remade = otherField(writableTextField().app.processIdentifier);
    const auto afterRemade = [&](PasteReadBack sentFieldReads, std::optional<quint32> window) {
        return [=](DeliveryRig& r) {
            paste(r);
            FocusedTargetSnapshot now = remade;
            now.app.windowIdentifier = window;
            // Read without the words, it is read so each time it is read again.
            const int reads =
                sentFieldReads == PasteReadBack::missing ? 1 + ClipboardPasteDelivery::kLateShowRereads : 1;
            for (int read = 0; read < reads; ++read)
                r.fakes.textInserter->verifyAnswer.push(sentFieldReads);
            r.fakes.pastePerformer->afterKeys = [&r, now] { r.fakes.inspector->answer.setFallback(now); };
        };
    };
    const std::tuple<const char*, Adjust, bool> remadeCases[] = {
        {"gone, its window's new object holds the words",
         afterRemade(PasteReadBack::unreadable, writableTextField().app.windowIdentifier), true},
        {"gone, another window's field", afterRemade(PasteReadBack::unreadable, 0x7700001), false},
        {"read without the words", afterRemade(PasteReadBack::missing, writableTextField().app.windowIdentifier),
         false},
    };
    for (const auto& [name, adjust, verified] : remadeCases) {
        DeliveryRig rig(adjust);
        EXPECT_EQ(rig.history, QList<Kind>{verified ? Kind::pastedViaClipboard : Kind::copiedToClipboard}) << name;
    }

    // A look right before the keys that finds the focus between two places waits for it to settle
    // and looks again; the keys go once.
    FocusedTargetSnapshot container = writableTextField();
    container.element.isEditable = false, container.element.role = u"AXGroup"_qs;
    DeliveryRig settling(paste, [&](DeliveryRig& r) {
        inspected(writableTextField())(r), inspected(container)(r), inspected(writableTextField())(r);
    });
    expectRow(settling, {"", {}, SessionState::success(), Kind::pastedViaClipboard, "insert.pasted_via_clipboard", {}});
    EXPECT_EQ(settling.fakes.pastePerformer->pastedInto.size(), 1);
}

// A field may show the words it took a moment after the check first reads it (Chromium's page tells
// its tree late; a Tab right after the keys has meanwhile taken the focus to the password field): it
// is read again for a short bounded while, each read awaited, before the focus decides. Words that
// never show are never told delivered.
TEST(TranscriptDelivery, TheFieldTheKeysWentToIsReadAgainForAWhileBeforeThePasteCountsAsFailed) {
    FocusedTargetSnapshot secret = writableTextField();
    secret.element.subrole = u"AXSecureTextField"_qs;
    const int rereads = ClipboardPasteDelivery::kLateShowRereads;
    // reads without the words before they show (none: never), where the focus is after the keys
    // -> the history, the first event, the reads of the field
    const auto rig = [&](int lateReads, std::optional<FocusedTargetSnapshot> focusAfterKeys) {
        return [=](DeliveryRig& r) {
            paste(r);
            if (lateReads < 0) r.fakes.textInserter->verifyAnswer.setFallback(PasteReadBack::missing);
            for (int read = 0; read < lateReads; ++read)
                r.fakes.textInserter->verifyAnswer.push(PasteReadBack::missing);
            if (focusAfterKeys)
                r.fakes.pastePerformer->afterKeys = [&r, f = *focusAfterKeys] {
                    r.fakes.inspector->answer.setFallback(f);
                };
        };
    };
    const std::tuple<const char*, Adjust, QList<Kind>, const char*, qsizetype> cases[] = {
        {"shown on the second read, a password field focused since",
         rig(1, secret),
         {Kind::pastedViaClipboard},
         "insert.pasted_via_clipboard",
         2},
        {"shown on the last read",
         rig(rereads, std::nullopt),
         {Kind::pastedViaClipboard},
         "insert.pasted_via_clipboard",
         1 + rereads},
        {"never shown, the field still focused",
         rig(-1, std::nullopt),
         {Kind::copiedToClipboard},
         "fallback.clipboard_paste_verification_failed",
         2 + rereads},
        {"never shown, another field focused",
         rig(-1, otherField()),
         {Kind::copiedToClipboard},
         "fallback.target_surface_changed",
         1 + rereads},
        {"never shown, a password field focused",
         rig(-1, secret),
         {},
         "fallback.secure_field_may_hold_words",
         1 + rereads},
    };
    for (const auto& [name, adjust, history, event, reads] : cases) {
        SCOPED_TRACE(name);
        DeliveryRig r(adjust);
        EXPECT_FALSE(r.failure);
        EXPECT_EQ(r.history, history);
        EXPECT_EQ(r.fakes.diagnostics->codes().value(0), u"runtime."_qs + QLatin1String(event));
        EXPECT_EQ(r.fakes.textInserter->verifiedOn.size(), reads);
        // The fixed wait before the first read, then one short awaited step before each read again.
        const QList<double> waits = r.fakes.pasteVerificationSleeper.requestedSeconds();
        EXPECT_EQ(waits.size(), std::min<qsizetype>(reads, 1 + rereads));
        for (qsizetype step = 1; step < waits.size(); ++step)
            EXPECT_EQ(waits.at(step), ClipboardPasteDelivery::kLateShowStepSeconds);
    }
}

// A Tab or a click during the dictation may have moved the focus where the application's tree does not
// show it yet (Firefox names the field the Tab left for a while): the last look believes the tree only
// once the application reported a focus gain after that press, and waits for one first. A Tab that took
// the focus to a password field keeps every key back; where no report comes the words are copied, not
// pasted; presses at every look never let the paste go. A window off the accessibility bus reports
// nothing: the look at the window decides there, at once.
TEST(TranscriptDelivery, ATabOrClickHoldsThePasteUntilItsApplicationReportedWhereTheFocusWent) {
    using std::chrono::milliseconds;
    FocusedTargetSnapshot secret = writableTextField();
    secret.element.subrole = u"AXSecureTextField"_qs;
    const auto pressed = [](std::optional<milliseconds> report, bool reportComes,
                            std::optional<FocusedTargetSnapshot> movedTo) {
        return [=](DeliveryRig& r) {
            paste(r);
            r.fakes.pastePerformer->sinceKeyPress = milliseconds(100);
            r.fakes.focusChanges->report = report;
            r.fakes.focusChanges->reportComes = reportComes;
            r.fakes.focusChanges->onReportWait = [&r, movedTo] {
                if (movedTo) r.fakes.inspector->answer.setFallback(*movedTo);
            };
        };
    };
    DeliveryRig intoPassword(pressed(std::nullopt, true, secret));
    EXPECT_EQ(intoPassword.fakes.sessionCoordinator->state(), SessionState::blocked(SessionBlockReason::secureField));
    EXPECT_TRUE(intoPassword.fakes.pastePerformer->pastedInto.isEmpty());
    EXPECT_EQ(intoPassword.fakes.pasteboard->contents, QList{kUsersClipboard});
    EXPECT_EQ(intoPassword.fakes.focusChanges->reportTimeouts, QList{TranscriptDelivery::kFocusSettleLimitSeconds});
    EXPECT_EQ(intoPassword.fakes.focusChanges->reportsAskedOf.value(0), writableTextField().app.processIdentifier);

    // The report came before the Tab: the tree may still name the field the Tab left.
    DeliveryRig stale(pressed(milliseconds(150), true, secret));
    EXPECT_EQ(stale.fakes.sessionCoordinator->state(), SessionState::blocked(SessionBlockReason::secureField));
    EXPECT_TRUE(stale.fakes.pastePerformer->pastedInto.isEmpty());

    // The application said nothing after the Tab: the stale look is never believed.
    DeliveryRig unreported(pressed(std::nullopt, false, std::nullopt));
    expectRow(
        unreported,
        {"", {}, SessionState::fallbackCopied(), Kind::copiedToClipboard, "fallback.focused_target_unavailable", {}});
    EXPECT_TRUE(unreported.fakes.pastePerformer->pastedInto.isEmpty());
    EXPECT_EQ(plainText(unreported.fakes.pasteboard->contents), "dictated words");

    // Reported since the Tab, with the focus where it was: the look tells, and no wait comes first.
    DeliveryRig answered(pressed(milliseconds(50), true, std::nullopt));
    expectRow(answered, {"", {}, SessionState::success(), Kind::pastedViaClipboard, "insert.pasted_via_clipboard", {}});
    EXPECT_EQ(answered.fakes.pastePerformer->pastedInto.size(), 1);
    EXPECT_TRUE(answered.fakes.focusChanges->reportTimeouts.isEmpty());
    DeliveryRig stayed(pressed(std::nullopt, true, std::nullopt));
    EXPECT_EQ(stayed.fakes.pastePerformer->pastedInto.size(), 1);
    EXPECT_EQ(stayed.history, QList{Kind::pastedViaClipboard});

    DeliveryRig tabbing([](DeliveryRig& r) {
        paste(r);
        r.fakes.pastePerformer->sinceKeyPress = milliseconds(100);
        // Each report answers the Tab before, and another Tab follows it.
        r.fakes.focusChanges->onReportWait = [&r] {
            r.fakes.focusChanges->report = milliseconds(1), r.fakes.pastePerformer->sinceKeyPress = milliseconds(0);
        };
    });
    expectRow(
        tabbing,
        {"", {}, SessionState::fallbackCopied(), Kind::copiedToClipboard, "fallback.focused_target_unavailable", {}});
    EXPECT_TRUE(tabbing.fakes.pastePerformer->pastedInto.isEmpty());
    EXPECT_EQ(tabbing.fakes.focusChanges->reportTimeouts.size(), ClipboardPasteDelivery::kLastLookAttempts);

    // A terminal without a tree: no report can come, and none is waited for.
    FocusedTargetSnapshot terminal;
    terminal.app = writableTextField().app, terminal.isWindowOnly = true, terminal.element.isEnabled = true;
    DeliveryRig offTheBus([&](DeliveryRig& r) {
        paste(r);
        r.focused = terminal;
        r.fakes.inspector->answer.setFallback(terminal);
        r.fakes.pastePerformer->sinceKeyPress = milliseconds(100);
        r.fakes.focusChanges->reportComes = false;
    });
    EXPECT_EQ(offTheBus.history, QList{Kind::pastedViaClipboard});
    EXPECT_EQ(offTheBus.fakes.pastePerformer->pastedInto.size(), 1);
    EXPECT_TRUE(offTheBus.fakes.focusChanges->reportTimeouts.isEmpty());
}

// Keys a Tab overtook on its way to the application were refused the words: nothing is told landed
// from them. The application has had its time to ask for the words first; then the focus decides, as
// after a press at the last look: a password field refuses the dictation and gives the user's
// clipboard back; the field itself again takes a new paste; keys overtaken each time end copied,
// the words served again on the clipboard.
TEST(TranscriptDelivery, KeysATabOvertookAreRefusedTheWordsAndTheFocusAfterDecides) {
    FocusedTargetSnapshot secret = writableTextField();
    secret.element.subrole = u"AXSecureTextField"_qs;
    const auto overtaken = [&](int times, std::optional<FocusedTargetSnapshot> movedTo) {
        return [=](DeliveryRig& r) {
            paste(r);
            r.fakes.pastePerformer->overtaken = times;
            r.fakes.pastePerformer->onOvertaken = [&r, movedTo] {
                if (movedTo) r.fakes.inspector->answer.setFallback(*movedTo);
            };
        };
    };
    const QString fetched = u"fetched(%1)"_qs.arg(ClipboardPasteDelivery::kFetchLimitSeconds);

    DeliveryRig intoPassword(overtaken(1, secret));
    EXPECT_EQ(intoPassword.fakes.sessionCoordinator->state(), SessionState::blocked(SessionBlockReason::secureField));
    EXPECT_EQ(intoPassword.fakes.pastePerformer->refusedInto.size(), 1);
    EXPECT_TRUE(intoPassword.fakes.pastePerformer->pastedInto.isEmpty());
    EXPECT_TRUE(intoPassword.history.isEmpty());
    EXPECT_EQ(intoPassword.fakes.pasteboard->contents, QList{kUsersClipboard});
    EXPECT_TRUE(intoPassword.fakes.pasteboard->calls.contains(fetched));

    DeliveryRig thereAndBack(overtaken(1, std::nullopt));
    expectRow(thereAndBack,
              {"", {}, SessionState::success(), Kind::pastedViaClipboard, "insert.pasted_via_clipboard", {}});
    EXPECT_EQ(thereAndBack.fakes.pastePerformer->refusedInto.size(), 1);
    EXPECT_EQ(thereAndBack.fakes.pastePerformer->pastedInto.size(), 1);

    DeliveryRig everyTime(overtaken(ClipboardPasteDelivery::kLastLookAttempts, std::nullopt));
    expectRow(
        everyTime,
        {"", {}, SessionState::fallbackCopied(), Kind::copiedToClipboard, "fallback.focused_target_unavailable", {}});
    EXPECT_TRUE(everyTime.fakes.pastePerformer->pastedInto.isEmpty());
    EXPECT_EQ(everyTime.fakes.pastePerformer->refusedInto.size(), ClipboardPasteDelivery::kLastLookAttempts);
    EXPECT_EQ(everyTime.fakes.pasteboard->calls.count(u"keepWritten(dictated words)"_qs), 1);
    EXPECT_EQ(plainText(everyTime.fakes.pasteboard->contents), "dictated words");
}

// The application asks for the words only once it handled every key before ours (a page held up
// after a Tab handles it late): a password field holding its focus then gets nothing, and nothing is
// kept; one whose look finds no field gets them, as the keys' order let them go.
TEST(TranscriptDelivery, TheApplicationsRequestForTheWordsIsAnsweredOnlyWhileTheFieldStillHoldsItsFocus) {
    FocusedTargetSnapshot secret = writableTextField();
    secret.element.subrole = u"AXSecureTextField"_qs;
    // The focus the application tells once it asks; none: it does not answer in time.
    // The application asks a second after the keys (held up), unless `atOnce`.
    const auto asksWith = [](std::optional<FocusedTargetSnapshot> focus, bool reported = true, bool atOnce = false) {
        return [focus, reported, atOnce](DeliveryRig& r) {
            paste(r);
            r.fakes.pasteboard->onFetch = [&r, focus, reported, atOnce,
                                           asked = false](FakePasteboardWriter& board) mutable {
                // Once: the application asks as the keys' wait for its fetch begins.
                if (!board.judge || std::exchange(asked, true)) return;
                if (!atOnce) r.fakes.clock.advance(1.0);
                if (focus) {
                    r.fakes.inspector->answer.setFallback(*focus);
                    if (reported) r.fakes.focusChanges->report = std::chrono::milliseconds(0);
                } else {
                    r.fakes.inspector->answer.pushFailure(
                        FocusedTargetInspectionError(FocusedTargetInspectionError::Case::focusedElementUnavailable));
                }
                r.verdicts.append(board.judge());
                if (!focus) r.fakes.inspector->answer.setFallback(writableTextField());
            };
        };
    };

    DeliveryRig stillThere(asksWith(writableTextField()));
    expectRow(stillThere,
              {"", {}, SessionState::success(), Kind::pastedViaClipboard, "insert.pasted_via_clipboard", {}});
    EXPECT_EQ(stillThere.verdicts, QList<bool>{true});

    DeliveryRig intoPassword(asksWith(secret));
    EXPECT_EQ(intoPassword.verdicts, QList<bool>{false});
    EXPECT_EQ(intoPassword.fakes.sessionCoordinator->state(), SessionState::blocked(SessionBlockReason::secureField));
    EXPECT_EQ(intoPassword.fakes.pastePerformer->pastedInto.size(), 1);
    EXPECT_TRUE(intoPassword.history.isEmpty());
    EXPECT_EQ(intoPassword.fakes.pasteboard->contents, QList{kUsersClipboard});

    // An application that asks at once handled the keys right after the last look.
    DeliveryRig atOnce(asksWith(secret, true, true));
    EXPECT_EQ(atOnce.verdicts, QList<bool>{true});
    EXPECT_EQ(atOnce.fakes.pastePerformer->pastedInto.size(), 1);

    // A password field the application named without reporting a move since the keys is not where
    // they went (a page that keeps naming the field it left).
    DeliveryRig namedBefore(asksWith(secret, false));
    EXPECT_EQ(namedBefore.verdicts, QList<bool>{true});
    EXPECT_EQ(namedBefore.fakes.pastePerformer->pastedInto.size(), 1);

    // A busy application may name a new object for the very field as it takes the paste: only a
    // password field is refused.
    DeliveryRig renamed(asksWith(otherField(writableTextField().app.processIdentifier)));
    EXPECT_EQ(renamed.verdicts, QList<bool>{true});
    EXPECT_EQ(renamed.fakes.pastePerformer->pastedInto.size(), 1);

    DeliveryRig untold(asksWith(std::nullopt));
    EXPECT_EQ(untold.verdicts, QList<bool>{true});
    expectRow(untold, {"", {}, SessionState::success(), Kind::pastedViaClipboard, "insert.pasted_via_clipboard", {}});
    // The judging ends with the delivery.
    EXPECT_FALSE(untold.fakes.pasteboard->judge);
}

// An application that cannot answer the look at its late request (it waits for the words on the
// thread that serves its accessibility) is refused them at once: nothing tells where a key it handled
// before ours took its focus. Its request showed it handled every such key: once it was given time to
// report where they took its focus, a new look and new keys follow, and their late request gets the
// words where it reported no move since that look began.
TEST(TranscriptDelivery, AnApplicationThatCannotAnswerAtItsLateRequestGetsTheWordsOnlyAfterANewLook) {
    FocusedTargetSnapshot secret = writableTextField();
    secret.element.subrole = u"AXSecureTextField"_qs;
    // Each request, in turn: whether it comes late, whether the application answers then, and
    // whether it reported a move just then.
    struct Request {
        bool late = true, answers = false, reportsNow = false;
    };
    const auto asks = [](QList<Request> requests, std::optional<FocusedTargetSnapshot> reportedMoveTo = std::nullopt) {
        return [requests, reportedMoveTo](DeliveryRig& r) mutable {
            paste(r);
            r.fakes.focusChanges->reportComes = reportedMoveTo.has_value();
            // Reported a moment before the wait ends.
            r.fakes.focusChanges->onReportWait = [&r, reportedMoveTo] {
                if (!reportedMoveTo) return;
                r.fakes.inspector->answer.setFallback(*reportedMoveTo);
                r.fakes.clock.advance(0.1);
                r.fakes.focusChanges->report = std::chrono::milliseconds(100);
            };
            // One request for each time the keys went out, as the wait for its fetch begins.
            const auto keysOut = std::make_shared<bool>(false);
            r.fakes.pastePerformer->keysOut = [keysOut] { *keysOut = true; };
            r.fakes.pasteboard->onFetch = [&r, requests, keysOut](FakePasteboardWriter& board) mutable {
                if (!board.judge || requests.isEmpty() || !std::exchange(*keysOut, false)) return;
                const Request request = requests.takeFirst();
                if (request.late) r.fakes.clock.advance(1.0);
                if (request.late && r.fakes.focusChanges->report)
                    *r.fakes.focusChanges->report += std::chrono::seconds(1);
                r.fakes.inspector->answering.push(request.answers);
                if (request.reportsNow) r.fakes.focusChanges->report = std::chrono::milliseconds(0);
                r.verdicts.append(board.judge());
                // An old report by the next request.
                if (r.fakes.focusChanges->report) r.fakes.focusChanges->report = std::chrono::milliseconds(60000);
            };
        };
    };
    const QList<double> reportWait{ClipboardPasteDelivery::kUntoldReportWaitSeconds};

    DeliveryRig retried(asks({Request{}, Request{}}));
    EXPECT_EQ(retried.verdicts, (QList<bool>{false, true}));
    expectRow(retried, {"", {}, SessionState::success(), Kind::pastedViaClipboard, "insert.pasted_via_clipboard", {}});
    EXPECT_EQ(retried.fakes.pastePerformer->pastedInto.size(), 2);
    EXPECT_EQ(retried.fakes.focusChanges->reportTimeouts, reportWait);
    EXPECT_EQ(retried.fakes.pasteboard->contents, QList{kUsersClipboard});

    // It reports, once let go, that its focus is where the keys went: the new look takes that in.
    DeliveryRig toldBeforeTheLook(asks({Request{}, Request{}}, writableTextField()));
    EXPECT_EQ(toldBeforeTheLook.verdicts, (QList<bool>{false, true}));
    EXPECT_EQ(toldBeforeTheLook.fakes.sessionCoordinator->state(), SessionState::success());

    // It reports, once let go, that the Tab took its focus to a password field.
    DeliveryRig intoPassword(asks({Request{}}, secret));
    EXPECT_EQ(intoPassword.verdicts, QList<bool>{false});
    EXPECT_EQ(intoPassword.fakes.sessionCoordinator->state(), SessionState::blocked(SessionBlockReason::secureField));
    EXPECT_EQ(intoPassword.fakes.pastePerformer->pastedInto.size(), 1);
    EXPECT_TRUE(intoPassword.history.isEmpty());
    EXPECT_EQ(intoPassword.fakes.pasteboard->contents, QList{kUsersClipboard});

    // A move it reported after the new look began is not in that look: refused again, then given
    // to the keys after a look that took it in.
    DeliveryRig reportedAfterTheLook(asks({Request{}, Request{true, false, true}, Request{}}));
    EXPECT_EQ(reportedAfterTheLook.verdicts, (QList<bool>{false, false, true}));
    EXPECT_EQ(reportedAfterTheLook.fakes.pastePerformer->pastedInto.size(), 3);
    EXPECT_EQ(reportedAfterTheLook.fakes.sessionCoordinator->state(), SessionState::success());

    // Refused at every attempt: the words stay on the clipboard, told copied.
    DeliveryRig everyTime(asks({Request{}, Request{true, false, true}, Request{true, false, true}}));
    EXPECT_EQ(everyTime.verdicts, (QList<bool>{false, false, false}));
    expectRow(
        everyTime,
        {"", {}, SessionState::fallbackCopied(), Kind::copiedToClipboard, "fallback.focused_target_unavailable", {}});
    EXPECT_EQ(plainText(everyTime.fakes.pasteboard->contents), "dictated words");

    // Asked at once, or answering the look: as before, with no second attempt.
    for (const Request& request : {Request{false, false}, Request{true, true}}) {
        DeliveryRig once(asks({request}));
        EXPECT_EQ(once.verdicts, QList<bool>{true});
        EXPECT_EQ(once.fakes.pastePerformer->pastedInto.size(), 1);
        EXPECT_EQ(once.fakes.inspector->askedWhetherAnswering.size(), request.late ? 1 : 0);
    }
}

}  // namespace
}  // namespace quorvelle::test
