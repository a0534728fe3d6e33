#include "DictationRig.h"
#include "Services/Audio/AudioCaptureError.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

using Adjust = std::function<void(FakeBootstrap&, AppBootstrap&)>;
using C = QuorvelleErrorCase;
SessionState failed(C errorCase) {
    return SessionState::error(QuorvelleError(errorCase));
}
const auto blocked = &SessionState::blocked;
Adjust target(const std::function<void(FocusedTargetSnapshot&)>& change, bool fallback = true) {
    return [=](FakeBootstrap& f, AppBootstrap&) {
        FocusedTargetSnapshot snapshot = writableTextField();
        change(snapshot);
        f.inspector->answer.setFallback(snapshot);
        f.userDefaults->setBool(QString::fromLatin1(SettingsKeys::clipboardFallbackEnabled), fallback);
    };
}
Adjust inspection(FocusedTargetInspectionError::Case errorCase) {
    return [=](FakeBootstrap& f, AppBootstrap&) {
        f.inspector->answer.pushFailure(FocusedTargetInspectionError(errorCase));
    };
}
void webArea(FocusedTargetSnapshot& t) {
    t.element = {QStringLiteral("AXWebArea"), {}, {}, {}, {}, {}, true, false, false, false};
}

TEST(RecordingSession, StartGatesAndBlocks) {
    struct Row {
        const char* label;
        Adjust adjust;
        SessionState state;
        QString message;
        QString event;  // the newest event the press recorded, if any
    };
    using B = SessionBlockReason;
    const QString noTarget = QStringLiteral("Yazılabilir bir alan seçin.");
    const QList<Row> rows{
        {"ready", {}, SessionState::recording(), {}, {}},
        {"signed out", [](FakeBootstrap& f, AppBootstrap&) { f.account->storedSession = false; },
         failed(C::invalidAPIKey), u"Sign in to your Quorvelle account."_qs, u"runtime.error.account_access_locked"_qs},
        {"no microphone",
         [](FakeBootstrap& f, AppBootstrap&) { f.microphonePermission->status = PermissionState::denied; },
         failed(C::microphonePermissionDenied),
         AppStrings().errorMessage(QuorvelleError(C::microphonePermissionDenied)),
         u"runtime.error.microphone_permission_denied"_qs},
        {"secure field", target([](auto& t) { t.element.subrole = u"AXSecureTextField"_qs; }), blocked(B::secureField),
         u"Secure field algılandı."_qs, u"runtime.blocked.secure_field"_qs},
        {"pasteable, fallback on", target(webArea), SessionState::recording(), {}, {}},
        {"pasteable, fallback off", target(webArea, false), blocked(B::noWritableTarget), noTarget,
         u"runtime.blocked.no_writable_target"_qs},
        {"accessibility off", inspection(FocusedTargetInspectionError::Case::accessibilityPermissionMissing),
         blocked(B::permissionsMissing), u"İzinler eksik."_qs, u"runtime.blocked.permissions_missing"_qs},
        {"capture fails",
         [](FakeBootstrap& f, AppBootstrap&) {
             f.audioCapture->startOutcome.pushFailure(AudioCaptureError(AudioCaptureErrorCase::engineStartFailed));
         },
         failed(C::unexpectedRuntimeFailure),
         u"Audio capture could not be started."_qs,
         {}},
    };
    for (const Row& row : rows) {
        DictationRig rig(row.adjust);
        const qsizetype before = rig.codes().size();
        rig.press();
        EXPECT_EQ(rig.state(), row.state) << row.label;
        EXPECT_EQ(rig.message(), row.message) << row.label;
        EXPECT_EQ(rig.codes().size() > before ? rig.codes().first() : QString(), row.event) << row.label;
    }
}

TEST(RecordingSession, StopOutcomes) {
    struct Row {
        double seconds;
        double peak;
        Adjust adjust;
        SessionState state;
        QString message;
        QString event;
    };
    const Adjust local = [](FakeBootstrap& f, AppBootstrap&) {
        f.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedTranscriptionBackend), u"local"_qs);
        f.localModels->availability = LocalRuntimeAvailability::unavailable(u"no engine"_qs);
    };
    const Adjust withoutAccountService = [](FakeBootstrap& f, AppBootstrap& s) {
        f.account->storedSession = false;
        s.backendAuthSessionManager = nullptr;
    };
    const QString noSpeech = u"runtime.error.no_speech_detected"_qs;
    const QList<Row> rows{
        {0.79,
         0.3,
         {},
         failed(C::noSpeechDetected),
         u"Recording is too short (0.79 sec). Hold the hotkey and speak."_qs,
         noSpeech},
        {0.8, 0.3, {}, SessionState::uploading(), {}, {}},
        {2.0,
         0.0149,
         {},
         failed(C::noSpeechDetected),
         u"No audio detected. The selected device produced no audio frames; check microphone routing and driver "
         u"status."_qs,
         noSpeech},
        {2.0, 0.015, {}, SessionState::uploading(), {}, {}},
        {2.0, 0.3, local, failed(C::unexpectedRuntimeFailure), u"Embedded runtime is not ready."_qs,
         u"runtime.error.local_transcription_not_ready"_qs},
        {2.0, 0.3, withoutAccountService, failed(C::invalidAPIKey), u"Sign in to your Quorvelle account."_qs,
         u"runtime.error.backend_auth_missing"_qs},
    };
    for (const Row& row : rows) {
        DictationRig rig(row.adjust);
        rig.fakes.transcriber->held.setHolding(true);
        CapturedAudioClip clip = FakeAudioCapture::oneSecondClip();
        clip.duration = row.seconds;
        rig.fakes.audioCapture->stopAnswer.push(clip);
        rig.dictate(row.peak);
        EXPECT_EQ(rig.state(), row.state) << row.seconds << " s, peak " << row.peak;
        EXPECT_EQ(rig.message(), row.message) << row.seconds;
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
    using Drive = std::function<void(SessionCoordinator&)>;
    const auto fail = [](QuorvelleError error) { return [error](SessionCoordinator& h) { h.fail(error); }; };
    const QList<std::pair<Drive, std::optional<double>>> rows{
        {[](SessionCoordinator& h) { h.beginRecording(), h.beginUploading(), h.markSuccess(); }, 2.0},
        {[](SessionCoordinator& h) { h.block(SessionBlockReason::permissionsMissing); }, 5.0},
        {fail(QuorvelleError(C::noSpeechDetected)), 3.0},
        {fail(QuorvelleError::rateLimitedRetryAfter(30)), 5.0},
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
