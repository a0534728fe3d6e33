#include "Services/Audio/AudioCaptureError.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"
#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

using Adjust = std::function<void(FakeBootstrap&, AppBootstrap&)>;
using C = QuorvelleErrorCase;
SessionState failed(C errorCase) {
    return SessionState::error(QuorvelleError(errorCase));
}

// Focus in a web area, which only a paste can reach, and then only where the page takes text.
Adjust webArea(bool fallback, bool editable = true) {
    return [=](auto& f, auto&) {
        FocusedTargetSnapshot target = writableTextField();
        target.element = {u"AXWebArea"_qs, {}, {}, {}, {}, {}, true, editable, false, false};
        f.inspector->answer.setFallback(target);
        f.userDefaults->setBool(QString::fromLatin1(SettingsKeys::clipboardFallbackEnabled), fallback);
    };
}

TEST(RecordingSession, PressAndReleaseGates) {
    const Adjust signedOut = [](auto& f, auto&) { f.account->storedSession = false; };
    const Adjust noMic = [](auto& f, auto&) { f.microphonePermission->status = PermissionState::denied; };
    const Adjust noSoundServer = [=](auto& f, auto& s) { noMic(f, s), f.audioDevices->soundServerReachable = false; };
    const Adjust secure = [](auto& f, auto&) {
        FocusedTargetSnapshot target = writableTextField();
        target.element.subrole = u"AXSecureTextField"_qs;
        f.inspector->answer.setFallback(target);
    };
    using IE = FocusedTargetInspectionError::Case;
    const Adjust noAccessibility = [](auto& f, auto&) {
        f.inspector->answer.pushFailure(FocusedTargetInspectionError(IE::accessibilityPermissionMissing));
    };
    const Adjust inspectionFails = [](auto& f, auto&) { f.inspector->answer.pushFailure(std::runtime_error("bus")); };
    using AE = AudioCaptureError;
    using AC = AudioCaptureErrorCase;
    const Adjust startFails = [](auto& f, auto&) {
        f.audioCapture->startOutcome.pushFailure(AE(AC::engineStartFailed));
    };
    const Adjust stopFails = [](auto& f, auto&) { f.audioCapture->stopAnswer.pushFailure(AE(AC::captureNotRunning)); };
    const Adjust local = [](auto& f, auto&) {
        f.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedTranscriptionBackend), u"local"_qs);
        f.localModels->availability = LocalRuntimeAvailability::unavailable(u"no engine"_qs);
    };
    const Adjust noAuth = [](auto& f, auto& s) {
        f.account->storedSession = false, s.backendAuthSessionManager = nullptr;
    };
    using B = SessionBlockReason;
    const auto recording = SessionState::recording(), uploading = SessionState::uploading();
    const auto noSpeech = failed(C::noSpeechDetected);
    const char* silent = "runtime.error.no_speech_detected";
    const QString signIn = u"Sign in to your Quorvelle account."_qs;
    const QString tooShort = u"Recording is too short (0.79 sec). Hold the hotkey and speak."_qs;
    const QString quiet =
        u"No audio detected. The selected device produced no audio frames; check microphone routing and driver "
        u"status."_qs;
    const struct {
        const char* label;
        Adjust adjust;
        double seconds, peak;  // of the recording let go; none: only pressed
        SessionState state;
        QString message;
        const char* event;  // the newest error or block event, "" for none
    } rows[] = {
        {"signed out", signedOut, 0, 0, failed(C::invalidAPIKey), signIn, "runtime.error.account_access_locked"},
        {"no microphone", noMic, 0, 0, failed(C::microphonePermissionDenied),
         AppStrings().errorMessage(QuorvelleError(C::microphonePermissionDenied)),
         "runtime.error.microphone_permission_denied"},
        {"no sound server", noSoundServer, 0, 0, failed(C::microphonePermissionDenied),
         u"The sound server is not reachable. Start PipeWire or PulseAudio and try again."_qs,
         "runtime.error.microphone_permission_denied"},
        {"secure field", secure, 0, 0, SessionState::blocked(B::secureField), u"Secure field algılandı."_qs,
         "runtime.blocked.secure_field"},
        {"pasteable, fallback on", webArea(true), 0, 0, recording, {}, ""},
        {"page that takes no text, fallback on", webArea(true, false), 0, 0, SessionState::blocked(B::noWritableTarget),
         u"Yazılabilir bir alan seçin."_qs, "runtime.blocked.no_writable_target"},
        {"pasteable, fallback off", webArea(false), 0, 0, SessionState::blocked(B::noWritableTarget),
         u"Yazılabilir bir alan seçin."_qs, "runtime.blocked.no_writable_target"},
        {"accessibility off", noAccessibility, 0, 0, SessionState::blocked(B::permissionsMissing), u"İzinler eksik."_qs,
         "runtime.blocked.permissions_missing"},
        {"inspection fails", inspectionFails, 0, 0, SessionState::blocked(B::noWritableTarget),
         u"Yazılabilir bir alan seçin."_qs, "runtime.blocked.no_writable_target"},
        {"capture fails", startFails, 0, 0, failed(C::unexpectedRuntimeFailure),
         u"Audio capture could not be started."_qs, ""},
        {"stop fails", stopFails, 2.0, 0.3, failed(C::unexpectedRuntimeFailure), u"No active audio recording."_qs,
         "audio.capture.stop_failed"},
        {"too short", {}, 0.79, 0.3, noSpeech, tooShort, silent},
        {"long enough", {}, 0.8, 0.3, uploading, {}, ""},
        {"too quiet", {}, 2.0, 0.0149, noSpeech, quiet, silent},
        {"loud enough", {}, 2.0, 0.015, uploading, {}, ""},
        {"local runtime missing", local, 2.0, 0.3, failed(C::unexpectedRuntimeFailure),
         u"Embedded runtime is not ready."_qs, "runtime.error.local_transcription_not_ready"},
        {"no account service", noAuth, 2.0, 0.3, failed(C::invalidAPIKey), signIn,
         "runtime.error.backend_auth_missing"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        DictationRig rig(row.adjust);
        rig.fakes.transcriber->held.setHolding(true);
        const qsizetype before = rig.codes().size();
        rig.fakes.audioCapture->stopAnswer.setFallback({FakeAudioCapture::oneSecondClip().data, row.seconds});
        row.seconds > 0 ? rig.dictate(row.peak) : rig.press();
        EXPECT_EQ(rig.state(), row.state);
        EXPECT_EQ(rig.message(), row.message);
        const QString newest = rig.codes().size() > before ? rig.codes().first() : QString();
        const bool reported =
            newest.contains(u".error"_qs) || newest.contains(u".blocked"_qs) || newest.endsWith(u"_failed"_qs);
        EXPECT_EQ(reported ? newest : QString(), row.event);
        EXPECT_EQ(rig.fakes.transcriber->requests.size(), row.state == uploading ? 1 : 0);
    }
}

// A window whose application is on its way to the accessibility bus cannot tell at the press what it
// holds: the recording starts at once, and the target is decided once the application came (or its
// while is over). A password field, or another refusal, then ends the session as the press would
// have, and what was recorded is dropped, never sent; a release before the decision waits for it.
TEST(RecordingSession, AWindowWhoseApplicationIsOnItsWayRecordsFromThePressAndIsDecidedOnceItCame) {
    FocusedTargetSnapshot arriving;
    arriving.app = writableTextField().app;
    arriving.element.role = u"AXUnknown"_qs, arriving.element.isEnabled = true;
    arriving.isWindowOnly = arriving.isApplicationArriving = true;
    FocusedTargetSnapshot neverCame = arriving;
    neverCame.isApplicationArriving = false;
    FocusedTargetSnapshot secret = writableTextField();
    secret.element.subrole = u"AXSecureTextField"_qs;
    const auto found = [](const FocusedTargetSnapshot& target) {
        return [target](FakeBootstrap& f) { f.inspector->answer.push(target); };
    };
    const std::function<void(FakeBootstrap&)> lookFails = [](FakeBootstrap& f) {
        f.inspector->answer.pushFailure(std::runtime_error("bus"));
    };
    const auto uploading = SessionState::uploading();
    const auto secureBlock = SessionState::blocked(SessionBlockReason::secureField);
    const auto noTarget = SessionState::blocked(SessionBlockReason::noWritableTarget);
    const QString secure = u"Secure field algılandı."_qs, pickAField = u"Yazılabilir bir alan seçin."_qs;
    const struct {
        const char* label;
        std::function<void(FakeBootstrap&)> decided;  // what the look once the application came finds
        bool clipboard, releasedFirst;
        SessionState state;
        QString message;
    } rows[] = {
        {"a plain field", found(writableTextField()), false, false, uploading, {}},
        {"a plain field, released before", found(writableTextField()), false, true, uploading, {}},
        {"a password field", found(secret), true, false, secureBlock, secure},
        {"a password field, released before", found(secret), true, true, secureBlock, secure},
        {"never came, clipboard on", found(neverCame), true, true, uploading, {}},
        {"never came, clipboard off", found(neverCame), false, false, noTarget, pickAField},
        {"the look fails", lookFails, true, true, noTarget, pickAField},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        DictationRig rig([&](FakeBootstrap& f, auto&) {
            f.inspector->answer.push(arriving);
            row.decided(f);
            f.inspector->arrival.setHolding(true);
            f.userDefaults->setBool(QString::fromLatin1(SettingsKeys::clipboardFallbackEnabled), row.clipboard);
            f.transcriber->held.setHolding(true);
        });
        FakeAudioCapture& capture = *rig.fakes.audioCapture;
        rig.press(), rig.speak(0.3);
        EXPECT_EQ(rig.state(), SessionState::recording());
        EXPECT_EQ(capture.calls, QStringList{u"startCapture"_qs}) << "recording before the decision";
        ASSERT_EQ(rig.fakes.inspector->arrival.waitingCount(), 1);
        if (row.releasedFirst) {
            rig.session().handleHotkeyReleased(), settle();
            EXPECT_EQ(rig.state(), SessionState::recording()) << "the stop waits for the decision";
            EXPECT_TRUE(rig.fakes.transcriber->requests.isEmpty());
            rig.session().stopRecordingAndTranscribe(), settle();  // a toggle's next press: nothing more
            EXPECT_EQ(rig.state(), SessionState::recording());
        }
        rig.fakes.inspector->arrival.releaseAll(), settle();
        if (!row.releasedFirst) rig.session().handleHotkeyReleased(), settle();
        EXPECT_EQ(rig.state(), row.state);
        EXPECT_EQ(rig.message(), row.message);
        const bool refused = row.state != uploading;
        EXPECT_EQ(rig.fakes.transcriber->requests.size(), refused ? 0 : 1);
        EXPECT_EQ(capture.calls.contains(u"cancelCapture"_qs), refused) << capture.calls.join(u',').toStdString();
        EXPECT_EQ(rig.session().lastCaptureSummary().has_value(), !refused);
        EXPECT_EQ(rig.fakes.inspector->arrivalWaits, 1);
        const std::optional<FocusedTargetSnapshot>& target = rig.session().focusedTarget();
        EXPECT_TRUE(!target || !target->isApplicationArriving);
    }
    // A target known at the press waits for nothing.
    DictationRig plain;
    plain.press();
    EXPECT_EQ(plain.fakes.inspector->arrivalWaits, 0);
    EXPECT_EQ(plain.state(), SessionState::recording());
}

// A key pressed right before the hot key (a Tab to a form's password field) shows on the bus only
// after the press was read. The press is decided once the focus rested after it: the recording runs
// meanwhile, and a password field found then drops it; another field of the same window is the one
// the words are for. Before anything of the recording leaves, the focus is looked at once more.
TEST(RecordingSession, APressIsDecidedOnTheFocusOnceItRestedAndLookedAtAgainBeforeAnythingLeaves) {
    FocusedTargetSnapshot plain = writableTextField();
    FocusedTargetSnapshot secret = plain;
    secret.element.subrole = u"AXSecureTextField"_qs;
    secret.element.identifier = u"password"_qs;
    FocusedTargetSnapshot next = plain;
    next.element.identifier = u"next"_qs;
    FocusedTargetSnapshot elsewhere = next;
    elsewhere.app.windowIdentifier = 0x3c00002;
    FocusedTargetSnapshot windowOnly = plain;
    windowOnly.isWindowOnly = true;
    const auto uploading = SessionState::uploading();
    const auto secureBlock = SessionState::blocked(SessionBlockReason::secureField);
    enum class When { afterThePress, atTheRelease };
    const struct {
        const char* label;
        When when;
        std::optional<FocusedTargetSnapshot> found;  // none: the look fails
        bool releasedFirst;
        SessionState state;
        std::optional<QString> target;  // the field the words are for
        bool backByTheRelease = false;  // the focus is on the plain field again when the recording stops
    } rows[] = {
        {"a password field once the focus rested", When::afterThePress, secret, false, secureBlock, {}},
        // Only the decision itself sees the password field: nothing after it may let the words go.
        {"a password field once the focus rested, left by the release",
         When::afterThePress,
         secret,
         false,
         secureBlock,
         {},
         true},
        {"a password field, left before the release that came first",
         When::afterThePress,
         secret,
         true,
         secureBlock,
         {},
         true},
        {"a password field, released before", When::afterThePress, secret, true, secureBlock, {}},
        {"a password field at the release", When::atTheRelease, secret, false, secureBlock, {}},
        {"another field of the window", When::afterThePress, next, false, uploading, u"next"_qs},
        {"a field of another window", When::afterThePress, elsewhere, false, uploading, plain.element.identifier},
        {"the window alone (the hot key's grab)", When::afterThePress, windowOnly, false, uploading,
         plain.element.identifier},
        {"the look fails", When::afterThePress, std::nullopt, true, uploading, plain.element.identifier},
        {"the same field", When::afterThePress, plain, false, uploading, plain.element.identifier},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        DictationRig rig([&](FakeBootstrap& f, auto&) {
            f.inspector->answer.setFallback(plain);
            f.transcriber->held.setHolding(true);
            f.focusChanges->moves.setHolding(true);
        });
        FakeFocusedTargetInspector& inspector = *rig.fakes.inspector;
        const auto found = [&] {
            if (!row.found) return inspector.answer.pushFailure(std::runtime_error("grab")), void();
            inspector.answer.setFallback(*row.found);
        };
        rig.press(), rig.speak(0.3);
        EXPECT_EQ(rig.state(), SessionState::recording());
        ASSERT_EQ(rig.fakes.focusChanges->moves.waitingCount(), 1) << "the decision waits for the focus";
        if (row.when == When::afterThePress) found();
        if (row.releasedFirst) {
            rig.session().handleHotkeyReleased(), settle();
            EXPECT_EQ(rig.state(), SessionState::recording()) << "the stop waits for the decision";
            EXPECT_TRUE(rig.fakes.transcriber->requests.isEmpty());
        }
        // The decision's look sees the password field; every look after it the plain field.
        if (row.backByTheRelease) inspector.answer.push(*row.found), inspector.answer.setFallback(plain);
        // The focus moves (the Tab came) and then rests.
        rig.fakes.focusChanges->moves.setHolding(false);
        rig.fakes.focusChanges->moves.releaseAll();
        // Each further look for a move takes a turn of the event loop (the fake clock stands still).
        for (int turn = 0; turn < 2 * RecordingTargetDecision::kFocusSettleEventLimit; ++turn)
            settle();
        if (row.when == When::atTheRelease) found();
        if (!row.releasedFirst) rig.session().handleHotkeyReleased(), settle();
        EXPECT_EQ(rig.state(), row.state) << rig.codes().join(u' ').toStdString();
        const bool refused = row.state != uploading;
        EXPECT_EQ(rig.fakes.transcriber->requests.size(), refused ? 0 : 1);
        EXPECT_EQ(rig.fakes.audioCapture->calls.contains(u"cancelCapture"_qs), refused);
        if (refused) {
            EXPECT_EQ(rig.message(), u"Secure field algılandı."_qs);
            continue;
        }
        const std::optional<FocusedTargetSnapshot>& target = rig.session().focusedTarget();
        ASSERT_TRUE(target);
        EXPECT_EQ(target->element.identifier, row.target);
    }
}

// A window on the accessibility bus whose application names no focused element at the press (busy
// with its first press, or its focus on its way back) is not refused at once: the recording runs,
// and the press is decided once the focus rested, looking again a few times within the second. A
// password field found then drops the recording; still nothing there refuses it as before. Any other
// failure of the press's look refuses at once.
TEST(RecordingSession, APressThatFindsNoFocusedElementIsDecidedOnTheSettledFocus) {
    using IE = FocusedTargetInspectionError;
    FocusedTargetSnapshot plain = writableTextField();
    FocusedTargetSnapshot secret = plain;
    secret.element.subrole = u"AXSecureTextField"_qs;
    const auto uploading = SessionState::uploading();
    const auto noTarget = SessionState::blocked(SessionBlockReason::noWritableTarget);
    const auto secureBlock = SessionState::blocked(SessionBlockReason::secureField);
    const struct {
        const char* label;
        IE::Case atThePress;
        int unnamedLooks;                            // after the focus rested, before the answer
        std::optional<FocusedTargetSnapshot> found;  // none: no look names a focused element
        bool releasedFirst;
        SessionState state;
    } rows[] = {
        {"a plain field once the focus rested", IE::Case::focusedElementUnavailable, 0, plain, false, uploading},
        {"a plain field, released before", IE::Case::focusedElementUnavailable, 0, plain, true, uploading},
        {"a plain field at the third look", IE::Case::focusedElementUnavailable, 2, plain, false, uploading},
        {"a password field", IE::Case::focusedElementUnavailable, 1, secret, false, secureBlock},
        {"a password field, released before", IE::Case::focusedElementUnavailable, 0, secret, true, secureBlock},
        {"never a focused element", IE::Case::focusedElementUnavailable, 0, std::nullopt, true, noTarget},
        {"no front window", IE::Case::frontmostApplicationUnavailable, 0, plain, false, noTarget},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        DictationRig rig([&](FakeBootstrap& f, auto&) {
            f.inspector->answer.pushFailure(IE(row.atThePress));
            for (int look = 0; look < (row.found ? row.unnamedLooks : 100); ++look)
                f.inspector->answer.pushFailure(IE(IE::Case::focusedElementUnavailable));
            // Where the password field decides, the focus has left it again when the recording stops.
            if (row.found) f.inspector->answer.push(*row.found);
            f.inspector->answer.setFallback(plain);
            f.transcriber->held.setHolding(true);
            // Each wait for the focus lasts as long as it may once let go: the focus moves no more.
            f.focusChanges->onWait = [&f] { f.clock.advance(f.focusChanges->timeouts.last()); };
            f.focusChanges->moves.setHolding(true);
        });
        const bool refusedAtOnce = row.atThePress != IE::Case::focusedElementUnavailable;
        rig.press(), rig.speak(0.3);
        EXPECT_EQ(rig.fakes.audioCapture->calls.contains(u"startCapture"_qs), !refusedAtOnce);
        if (row.releasedFirst) {
            rig.session().handleHotkeyReleased(), settle();
            EXPECT_TRUE(rig.fakes.transcriber->requests.isEmpty()) << "nothing leaves before the decision";
        }
        rig.fakes.focusChanges->moves.setHolding(false);
        rig.fakes.focusChanges->moves.releaseAll();
        for (int turn = 0; turn < 4 * RecordingTargetDecision::kFocusSettleEventLimit; ++turn)
            settle();
        if (!row.releasedFirst) rig.session().handleHotkeyReleased(), settle();
        EXPECT_EQ(rig.state(), row.state) << rig.codes().join(u' ').toStdString();
        const bool refused = row.state != uploading;
        EXPECT_EQ(rig.fakes.transcriber->requests.size(), refused ? 0 : 1);
        if (refusedAtOnce) continue;
        EXPECT_EQ(rig.fakes.audioCapture->calls.contains(u"cancelCapture"_qs), refused);
        // The looks after the press stay within the second the decision may take.
        double waited = 0;
        for (double timeout : rig.fakes.focusChanges->timeouts)
            waited += timeout;
        EXPECT_LE(waited, RecordingTargetDecision::kFocusSettleLimitSeconds + 1e-6);
        if (!row.found) {
            EXPECT_GT(rig.fakes.inspector->callCount, 2) << "looked again while the second lasted";
        }
        if (!refused) {
            EXPECT_EQ(rig.session().focusedTarget()->element.identifier, plain.element.identifier);
        }
    }
}

// A password field that does not claim the focus is all the press finds (GTK 4 shows no focus while
// the hot key holds the keyboard, and its window holds a password entry below the field the user is
// in): the recording runs and the press is decided on the settled focus, looking again within the
// second. The field named then takes the words; where nothing better comes the password field refuses
// the press, as one that claims the focus, or a password prompt's window, does at once.
TEST(RecordingSession, APasswordFieldThatDoesNotClaimTheFocusDecidesThePressOnlyOnceTheFocusRested) {
    FocusedTargetSnapshot plain = writableTextField();
    FocusedTargetSnapshot focusedSecret = plain;
    focusedSecret.element.subrole = u"AXSecureTextField"_qs;
    focusedSecret.element.identifier = u"password"_qs;
    FocusedTargetSnapshot besideTheFocus = focusedSecret;
    besideTheFocus.isFocusedElement = false;
    FocusedTargetSnapshot prompt = focusedSecret;
    prompt.isWindowOnly = true;
    prompt.isFocusedElement = false;
    const auto uploading = SessionState::uploading();
    const auto secureBlock = SessionState::blocked(SessionBlockReason::secureField);
    const struct {
        const char* label;
        FocusedTargetSnapshot atThePress;
        int looksBesideTheFocus;  // after the focus rested, before the plain field is named
        bool plainNamed;
        SessionState state;
        bool refusedAtOnce;
    } rows[] = {
        {"the plain field once the focus rested", besideTheFocus, 0, true, uploading, false},
        {"the plain field at the third look", besideTheFocus, 2, true, uploading, false},
        {"never anything better", besideTheFocus, 100, false, secureBlock, false},
        {"a password field that claims the focus", focusedSecret, 0, true, secureBlock, true},
        {"a password prompt's window", prompt, 0, true, secureBlock, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        DictationRig rig([&](FakeBootstrap& f, auto&) {
            f.inspector->answer.push(row.atThePress);
            for (int look = 0; look < row.looksBesideTheFocus; ++look)
                f.inspector->answer.push(besideTheFocus);
            f.inspector->answer.setFallback(row.plainNamed ? plain : besideTheFocus);
            f.transcriber->held.setHolding(true);
            // Each wait for the focus lasts as long as it may once let go: the focus moves no more.
            f.focusChanges->onWait = [&f] { f.clock.advance(f.focusChanges->timeouts.last()); };
            f.focusChanges->moves.setHolding(true);
        });
        rig.press(), rig.speak(0.3);
        EXPECT_EQ(rig.fakes.audioCapture->calls.contains(u"startCapture"_qs), !row.refusedAtOnce);
        rig.fakes.focusChanges->moves.setHolding(false);
        rig.fakes.focusChanges->moves.releaseAll();
        for (int turn = 0; turn < 4 * RecordingTargetDecision::kFocusSettleEventLimit; ++turn)
            settle();
        rig.session().handleHotkeyReleased(), settle();
        EXPECT_EQ(rig.state(), row.state) << rig.codes().join(u' ').toStdString();
        const bool refused = row.state != uploading;
        EXPECT_EQ(rig.fakes.transcriber->requests.size(), refused ? 0 : 1);
        if (refused) {
            EXPECT_EQ(rig.message(), u"Secure field algılandı."_qs);
            continue;
        }
        EXPECT_EQ(rig.session().focusedTarget()->element.identifier, plain.element.identifier);
        // The looks after the press stay within the second the decision may take.
        double waited = 0;
        for (double timeout : rig.fakes.focusChanges->timeouts)
            waited += timeout;
        EXPECT_LE(waited, RecordingTargetDecision::kFocusSettleLimitSeconds + 1e-6);
    }
}

// The application in front names an element of another of its windows as its focus at the press (busy,
// it tells of the focus its window in front took seconds late): the press waits for its focus events
// past the second a focus on its way is given, takes the field once the front window's is named, and
// refuses the recording where none is within that longer bound.
TEST(RecordingSession, APressWhoseFocusIsNamedInAnotherWindowWaitsLongerForTheFrontOne) {
    using IE = FocusedTargetInspectionError;
    for (const bool named : {true, false}) {
        SCOPED_TRACE(named ? "named two seconds after the press" : "never named");
        DictationRig rig([&](FakeBootstrap& f, auto&) {
            for (int look = 0; look < 100; ++look)
                f.inspector->answer.pushFailure(IE::focusInAnotherWindow());
            f.inspector->answer.setFallback(writableTextField());
            f.transcriber->held.setHolding(true);
            const quint64 pressedAt = f.clock.uptimeNanoseconds();
            f.focusChanges->onWait = [&f, named, pressedAt] {
                f.clock.advance(std::min(0.5, f.focusChanges->timeouts.last()));
                if (named && f.clock.uptimeNanoseconds() - pressedAt >= 2'000'000'000) f.inspector->answer.clear();
            };
        });
        rig.press(), rig.speak(0.3);
        for (int turn = 0; turn < 4 * RecordingTargetDecision::kFocusSettleEventLimit; ++turn)
            settle();
        rig.session().handleHotkeyReleased(), settle();
        EXPECT_EQ(rig.state(),
                  named ? SessionState::uploading() : SessionState::blocked(SessionBlockReason::noWritableTarget))
            << rig.codes().join(u' ').toStdString();
        double waited = 0;
        for (double timeout : rig.fakes.focusChanges->timeouts)
            waited += std::min(0.5, timeout);
        EXPECT_GT(waited, RecordingTargetDecision::kFocusSettleLimitSeconds);
        EXPECT_LE(waited, RecordingTargetDecision::kFocusInAnotherWindowLimitSeconds + 1e-6);
    }
}

// The look as the recording stops, while another window than the dictation's is in front (a password
// window the application opened during the recording): a look that fails, or names no field holding
// the focus there, is no answer. The clip waits for one, up to a second, and a password field then
// drops it. In the dictation's own window a look that tells nothing holds nothing up.
TEST(RecordingSession, TheLookAtTheStopWaitsForAWindowThatCameToTheFrontToNameItsFocus) {
    FocusedTargetSnapshot plain = writableTextField();
    plain.app.windowIdentifier = 0x3c00001;
    FocusedTargetSnapshot dialogField = plain;
    dialogField.app.windowIdentifier = 0x3c00002;
    FocusedTargetSnapshot dialogPassword = dialogField;
    dialogPassword.element.subrole = u"AXSecureTextField"_qs;
    FocusedTargetSnapshot notClaimed = dialogField;  // the field the dictation's window had, read late
    notClaimed.isFocusedElement = false;
    FocusedTargetSnapshot ownWindowNothing = plain;
    ownWindowNothing.isFocusedElement = false;
    // A prompt another program put in front (an agent asking for a passphrase): its window is not the
    // dictation's even where the dictation's window, or the prompt's, could not be named.
    FocusedTargetSnapshot unnamedWindow = plain;
    unnamedWindow.app.windowIdentifier.reset();
    FocusedTargetSnapshot otherProgram = notClaimed;
    otherProgram.app = {u"org.example.Agent"_qs, u"Agent"_qs, plain.app.processIdentifier + 1, 0x4e00001};
    FocusedTargetSnapshot otherProgramPassword = otherProgram;
    otherProgramPassword.isFocusedElement = true;
    otherProgramPassword.element.subrole = u"AXSecureTextField"_qs;
    FocusedTargetSnapshot otherProgramUnnamed = otherProgram;
    otherProgramUnnamed.app.windowIdentifier.reset();
    FocusedTargetSnapshot otherProgramUnnamedPassword = otherProgramPassword;
    otherProgramUnnamedPassword.app.windowIdentifier.reset();
    FocusedTargetSnapshot otherProgramField = otherProgram;
    otherProgramField.isFocusedElement = true;
    const auto uploading = SessionState::uploading();
    const auto secureBlock = SessionState::blocked(SessionBlockReason::secureField);
    const auto fails = [](FakeFocusedTargetInspector& inspector) {
        inspector.answer.pushFailure(
            FocusedTargetInspectionError(FocusedTargetInspectionError::Case::focusedElementUnavailable));
    };
    const struct {
        const char* label;
        std::function<void(FakeFocusedTargetInspector&)> atTheStop;  // the looks' answers, then the plain field
        SessionState state;
        bool waits;                                      // the upload waited for a later look
        const FocusedTargetSnapshot* pressed = nullptr;  // the dictation's target, the plain field if none
    } rows[] = {
        {"fails, then a password field", [&](auto& i) { fails(i), fails(i), i.answer.push(dialogPassword); },
         secureBlock, true},
        {"no field claims the focus, then a password field",
         [&](auto& i) { i.answer.push(notClaimed), i.answer.push(dialogPassword); }, secureBlock, true},
        {"a password field at once", [&](auto& i) { i.answer.push(dialogPassword); }, secureBlock, false},
        {"fails, then a plain field", [&](auto& i) { fails(i), i.answer.push(dialogField); }, uploading, true},
        {"never tells", [&](auto& i) { i.answer.setFallback(notClaimed); }, uploading, true},
        {"the dictation's window tells nothing", [&](auto& i) { i.answer.setFallback(ownWindowNothing); }, uploading,
         false},
        {"another program's window names nothing, then its password field",
         [&](auto& i) { i.answer.push(otherProgram), i.answer.push(otherProgramPassword); }, secureBlock, true},
        {"another program's window, the dictation's unnamed: nothing, then a password field",
         [&](auto& i) { i.answer.push(otherProgram), i.answer.push(otherProgramPassword); }, secureBlock, true,
         &unnamedWindow},
        {"another program's unnamed window names nothing, then its password field",
         [&](auto& i) { i.answer.push(otherProgramUnnamed), i.answer.push(otherProgramUnnamedPassword); }, secureBlock,
         true},
        {"another program's window never tells",
         [&](auto& i) { i.answer.push(otherProgram), i.answer.setFallback(otherProgramUnnamed); }, uploading, true,
         &unnamedWindow},
        {"another program's window names a plain field", [&](auto& i) { i.answer.push(otherProgramField); }, uploading,
         false, &unnamedWindow},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        DictationRig rig([&](FakeBootstrap& f, auto&) {
            f.inspector->answer.setFallback(row.pressed ? *row.pressed : plain);
            f.transcriber->held.setHolding(true);
            f.focusChanges->onWait = [&f] { f.clock.advance(f.focusChanges->timeouts.last()); };
        });
        rig.press(), rig.speak(0.3);
        for (int turn = 0; turn < 2 * RecordingTargetDecision::kFocusSettleEventLimit; ++turn)
            settle();
        const qsizetype waitsBefore = rig.fakes.focusChanges->timeouts.size();
        const quint64 stoppedAt = rig.fakes.clock.uptimeNanoseconds();
        row.atTheStop(*rig.fakes.inspector);
        rig.session().handleHotkeyReleased();
        for (int turn = 0; turn < 2 * RecordingStopLook::kMaximumLooks; ++turn)
            settle();
        EXPECT_EQ(rig.state(), row.state) << rig.codes().join(u' ').toStdString();
        EXPECT_EQ(rig.fakes.transcriber->requests.size(), row.state == uploading ? 1 : 0);
        EXPECT_EQ(rig.fakes.focusChanges->timeouts.size() > waitsBefore, row.waits);
        EXPECT_LE(double(rig.fakes.clock.uptimeNanoseconds() - stoppedAt) / 1e9,
                  RecordingStopLook::kWaitLimitSeconds + 1e-6);
    }
}

// A held or repeated press must not cost the user the dictation already under way.
TEST(RecordingSession, APushToTalkPressDuringASessionChangesNothing) {
    DictationRig rig([](auto& f, auto&) {
        f.strategyResolver->strategy = TextInsertionStrategy::clipboardPaste;
        f.transcriber->held.setHolding(true);
    });
    rig.press();
    for (const SessionState& active :
         {SessionState::recording(), SessionState::uploading(), SessionState::injecting()}) {
        if (active == SessionState::uploading()) rig.dictate();  // its press is ignored: the key is still held
        if (active == SessionState::injecting()) rig.fakes.transcriber->held.releaseAll();
        ASSERT_EQ(rig.state(), active);
        const int inspections = rig.fakes.inspector->callCount;
        const QStringList captureCalls = rig.fakes.audioCapture->calls;
        const bool transcribing = rig.session().transcriptionTask().isRunning();
        rig.press();
        EXPECT_EQ(rig.state(), active);
        EXPECT_EQ(rig.fakes.inspector->callCount, inspections);
        EXPECT_EQ(rig.fakes.audioCapture->calls, captureCalls);
        EXPECT_EQ(rig.session().transcriptionTask().isRunning(), transcribing);
    }
    rig.fakes.pasteVerificationSleeper.finishAll();
    EXPECT_EQ(rig.state(), SessionState::success());
    // In toggle mode the release does nothing and the next press stops and sends.
    rig.vm->preferences()->setRecordingTriggerMode(RecordingTriggerMode::toggle);
    rig.dictate();
    EXPECT_EQ(rig.state(), SessionState::recording());
    rig.press();
    EXPECT_EQ(rig.state(), SessionState::uploading());
    ASSERT_EQ(rig.fakes.history->entries.size(), 1);
    EXPECT_EQ(rig.fakes.history->entries.first().transcript, u"hello world"_qs);
}

// A forgotten recording is stopped and sent at the time limit; a final state goes back to idle after
// its own delay, unless a press or a newer state came first.
TEST(RecordingSession, TheTimeLimitStopsARecordingAndAFinalStateLeavesAfterItsDelay) {
    DictationRig rig([](auto& f, auto&) { f.transcriber->held.setHolding(true); });
    ManualSleeper &limit = rig.fakes.recordingDurationSleeper, &dismissal = rig.fakes.dismissSleeper;
    rig.press(), rig.speak(0.3);
    EXPECT_EQ(limit.requestedSeconds(), QList<double>{60.0});
    limit.finishAll();
    EXPECT_EQ(rig.state(), SessionState::uploading());
    EXPECT_EQ(rig.message(), u"Recording was automatically stopped after the 60 sec maximum."_qs);
    EXPECT_TRUE(rig.codes().contains(u"audio.capture.maximum_duration_reached"_qs));
    EXPECT_EQ(rig.fakes.transcriber->requests.size(), 1);
    rig.fakes.transcriber->held.releaseAll();
    ASSERT_EQ(rig.state(), SessionState::success());
    rig.press();  // during the success's delay: the new recording stays
    dismissal.finishAll();
    EXPECT_EQ(rig.state(), SessionState::recording());
    rig.fakes.audioCapture->capturing = false;  // the capture already ended: the limit has nothing to stop
    limit.finishAll();
    EXPECT_EQ(rig.state(), SessionState::recording());
    EXPECT_EQ(rig.message(), QString());

    using H = SessionCoordinator;
    using B = SessionBlockReason;
    const std::function<void(H&)> record = &H::beginRecording, upload = &H::beginUploading, inject = &H::beginInjecting;
    const auto fail = [](QuorvelleError error) { return [=](H& h) { h.fail(error); }; };
    const auto block = [](B reason) { return [=](H& h) { h.block(reason); }; };
    const struct {
        const char* label;
        QList<std::function<void(H&)>> path;
        std::optional<double> delay;
    } rows[] = {
        {"success", {record, upload, &H::markSuccess}, 2},
        {"copied", {record, upload, inject, &H::markFallbackCopied}, 3},
        {"permissions missing", {block(B::permissionsMissing)}, 5},
        {"secure field", {block(B::secureField)}, 3},
        {"wait 30 s", {fail(QuorvelleError::rateLimitedRetryAfter(30))}, 5},
        {"signed out", {fail(QuorvelleError(C::invalidAPIKey))}, 5},
        {"no speech", {fail(QuorvelleError(C::noSpeechDetected))}, 3},
        {"injecting", {record, upload, inject}, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        rig.fakes.sessionCoordinator->reset();
        settle();
        const qsizetype waits = dismissal.requestedSeconds().size();
        for (const auto& step : row.path)
            step(*rig.fakes.sessionCoordinator);
        const SessionState shown = rig.state();
        EXPECT_EQ(dismissal.requestedSeconds().value(waits, -1), row.delay.value_or(-1));
        dismissal.finishAll();
        EXPECT_EQ(rig.state(), row.delay ? SessionState::idle() : shown);
    }
}

}  // namespace
}  // namespace quorvelle::test
