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

// Focus in a web area, which only a paste can reach.
Adjust webArea(bool fallback) {
    return [=](FakeBootstrap& f, AppBootstrap&) {
        FocusedTargetSnapshot target = writableTextField();
        target.element = {u"AXWebArea"_qs, {}, {}, {}, {}, {}, true, false, false, false};
        f.inspector->answer.setFallback(target);
        f.userDefaults->setBool(QString::fromLatin1(SettingsKeys::clipboardFallbackEnabled), fallback);
    };
}

TEST(RecordingSession, StartGatesAndBlocks) {
    const Adjust signedOut = [](FakeBootstrap& f, AppBootstrap&) { f.account->storedSession = false; };
    const Adjust noMicrophone = [](FakeBootstrap& f, AppBootstrap&) {
        f.microphonePermission->status = PermissionState::denied;
    };
    const Adjust secure = [](FakeBootstrap& f, AppBootstrap&) {
        FocusedTargetSnapshot target = writableTextField();
        target.element.subrole = u"AXSecureTextField"_qs;
        f.inspector->answer.setFallback(target);
    };
    const Adjust noAccessibility = [](FakeBootstrap& f, AppBootstrap&) {
        f.inspector->answer.pushFailure(
            FocusedTargetInspectionError(FocusedTargetInspectionError::Case::accessibilityPermissionMissing));
    };
    const Adjust captureFails = [](FakeBootstrap& f, AppBootstrap&) {
        f.audioCapture->startOutcome.pushFailure(AudioCaptureError(AudioCaptureErrorCase::engineStartFailed));
    };
    using B = SessionBlockReason;
    const struct Row {
        const char* label;
        Adjust adjust;
        SessionState state;
        QString message;
        const char* event;  // the newest event, "" for none
    } rows[] = {
        {"ready", {}, SessionState::recording(), {}, ""},
        {"signed out", signedOut, failed(C::invalidAPIKey), u"Sign in to your Quorvelle account."_qs,
         "runtime.error.account_access_locked"},
        {"no microphone", noMicrophone, failed(C::microphonePermissionDenied),
         AppStrings().errorMessage(QuorvelleError(C::microphonePermissionDenied)),
         "runtime.error.microphone_permission_denied"},
        {"secure field", secure, SessionState::blocked(B::secureField), u"Secure field algılandı."_qs,
         "runtime.blocked.secure_field"},
        {"pasteable, fallback on", webArea(true), SessionState::recording(), {}, ""},
        {"pasteable, fallback off", webArea(false), SessionState::blocked(B::noWritableTarget),
         u"Yazılabilir bir alan seçin."_qs, "runtime.blocked.no_writable_target"},
        {"accessibility off", noAccessibility, SessionState::blocked(B::permissionsMissing), u"İzinler eksik."_qs,
         "runtime.blocked.permissions_missing"},
        {"capture fails", captureFails, failed(C::unexpectedRuntimeFailure), u"Audio capture could not be started."_qs,
         ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        DictationRig rig(row.adjust);
        const qsizetype before = rig.codes().size();
        rig.press();
        EXPECT_EQ(rig.state(), row.state);
        EXPECT_EQ(rig.message(), row.message);
        EXPECT_EQ(rig.codes().size() > before ? rig.codes().first() : QString(), row.event);
    }
}

TEST(RecordingSession, StopOutcomes) {
    const Adjust local = [](FakeBootstrap& f, AppBootstrap&) {
        f.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedTranscriptionBackend), u"local"_qs);
        f.localModels->availability = LocalRuntimeAvailability::unavailable(u"no engine"_qs);
    };
    const Adjust withoutAccountService = [](FakeBootstrap& f, AppBootstrap& s) {
        f.account->storedSession = false;
        s.backendAuthSessionManager = nullptr;
    };
    const auto noSpeech = failed(C::noSpeechDetected), uploading = SessionState::uploading();
    const char* silent = "runtime.error.no_speech_detected";
    const QString tooShort = u"Recording is too short (0.79 sec). Hold the hotkey and speak."_qs;
    const QString quiet =
        u"No audio detected. The selected device produced no audio frames; check microphone routing and driver "
        u"status."_qs;
    const struct {
        double seconds, peak;
        Adjust adjust;
        SessionState state;
        QString message;
        const char* event;
    } rows[] = {
        {0.79, 0.3, {}, noSpeech, tooShort, silent},
        {0.8, 0.3, {}, uploading, {}, ""},
        {2.0, 0.0149, {}, noSpeech, quiet, silent},
        {2.0, 0.015, {}, uploading, {}, ""},
        {2.0, 0.3, local, failed(C::unexpectedRuntimeFailure), u"Embedded runtime is not ready."_qs,
         "runtime.error.local_transcription_not_ready"},
        {2.0, 0.3, withoutAccountService, failed(C::invalidAPIKey), u"Sign in to your Quorvelle account."_qs,
         "runtime.error.backend_auth_missing"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.seconds << " s, peak " << row.peak);
        DictationRig rig(row.adjust);
        rig.fakes.transcriber->held.setHolding(true);
        CapturedAudioClip clip = FakeAudioCapture::oneSecondClip();
        clip.duration = row.seconds;
        rig.fakes.audioCapture->stopAnswer.push(clip);
        rig.dictate(row.peak);
        EXPECT_EQ(rig.state(), row.state);
        EXPECT_EQ(rig.message(), row.message);
        EXPECT_EQ(rig.codes().value(0).startsWith(u"runtime.error"_qs) ? rig.codes().value(0) : QString(), row.event);
        EXPECT_EQ(rig.fakes.transcriber->requests.size(), row.state == SessionState::uploading() ? 1 : 0);
    }
}

// A held or repeated press must not cost the user the dictation already under way.
TEST(RecordingSession, APushToTalkPressDuringASessionChangesNothing) {
    DictationRig rig([](FakeBootstrap& f, AppBootstrap&) {
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
    ASSERT_EQ(rig.fakes.history->entries.size(), 1);
    EXPECT_EQ(rig.fakes.history->entries.first().transcript, u"hello world"_qs);
}

TEST(RecordingSession, FinalStatesAreDismissedAfterTheirDelay) {
    const QList<std::pair<std::function<void(SessionCoordinator&)>, std::optional<double>>> rows{
        {[](SessionCoordinator& h) { h.beginRecording(), h.beginUploading(), h.markSuccess(); }, 2.0},
        {[](SessionCoordinator& h) { h.block(SessionBlockReason::permissionsMissing); }, 5.0},
        {[](SessionCoordinator& h) { h.fail(QuorvelleError(C::noSpeechDetected)); }, 3.0},
        {[](SessionCoordinator& h) { h.fail(QuorvelleError::rateLimitedRetryAfter(30)); }, 5.0},
        {[](SessionCoordinator& h) { h.beginRecording(); }, std::nullopt},
    };
    for (const auto& [drive, delay] : rows) {
        DictationRig rig;
        drive(*rig.fakes.sessionCoordinator);
        const SessionState shown = rig.state();
        const QList<double> asked = rig.fakes.dismissSleeper.requestedSeconds();
        EXPECT_EQ(asked.isEmpty() ? std::nullopt : std::optional(asked.last()), delay);
        rig.fakes.dismissSleeper.finishAll();
        EXPECT_EQ(rig.state(), delay ? SessionState::idle() : shown);
    }
}

}  // namespace
}  // namespace quorvelle::test
