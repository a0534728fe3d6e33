#include "DictationRig.h"
#include "Services/Audio/AudioCaptureError.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

using Adjust = std::function<void(FakeBootstrap&, AppBootstrap&)>;
const QuorvelleError kUnexpected(QuorvelleErrorCase::unexpectedRuntimeFailure);
const QuorvelleError kNoSpeech(QuorvelleErrorCase::noSpeechDetected);

FocusedTargetSnapshot webArea() {
    FocusedTargetSnapshot target = writableTextField();
    target.element.role = QStringLiteral("AXWebArea");
    target.element.isEditable = false;
    target.element.supportsValueWrite = false;
    target.element.supportsSelectedTextRangeWrite = false;
    return target;
}

TEST(RecordingSession, StartGatesAndBlocks) {
    struct Row {
        const char* label;
        Adjust adjust;
        SessionState state;
        QString message;
        QString newestEvent;  // empty: none recorded by the press
    };
    const auto inspection = [](FocusedTargetInspectionError::Case c) {
        return
            [c](FakeBootstrap& f, AppBootstrap&) { f.inspector->answer.pushFailure(FocusedTargetInspectionError(c)); };
    };
    using I = FocusedTargetInspectionError::Case;
    const QList<Row> rows{
        {"ready", {}, SessionState::recording(), {}, {}},
        {"signed out", [](FakeBootstrap& f, AppBootstrap&) { f.account->storedSession = false; },
         SessionState::error(QuorvelleError(QuorvelleErrorCase::invalidAPIKey)),
         QStringLiteral("Sign in to your Quorvelle account."), QStringLiteral("runtime.error.account_access_locked")},
        {"microphone denied",
         [](FakeBootstrap& f, AppBootstrap&) { f.microphonePermission->status = PermissionState::denied; },
         SessionState::error(QuorvelleError(QuorvelleErrorCase::microphonePermissionDenied)),
         AppStrings().errorMessage(QuorvelleError(QuorvelleErrorCase::microphonePermissionDenied)),
         QStringLiteral("runtime.error.microphone_permission_denied")},
        {"secure field, fallback on",
         [](FakeBootstrap& f, AppBootstrap&) {
             FocusedTargetSnapshot secure = writableTextField();
             secure.element.subrole = QStringLiteral("AXSecureTextField");
             f.inspector->answer.setFallback(secure);
         },
         SessionState::blocked(SessionBlockReason::secureField), QStringLiteral("Secure field algılandı."),
         QStringLiteral("runtime.blocked.secure_field")},
        {"pasteable, fallback on",
         [](FakeBootstrap& f, AppBootstrap&) { f.inspector->answer.setFallback(webArea()); },
         SessionState::recording(),
         {},
         {}},
        {"pasteable, fallback off",
         [](FakeBootstrap& f, AppBootstrap&) {
             f.inspector->answer.setFallback(webArea());
             f.userDefaults->setBool(QString::fromLatin1(SettingsKeys::clipboardFallbackEnabled), false);
         },
         SessionState::blocked(SessionBlockReason::noWritableTarget), QStringLiteral("Yazılabilir bir alan seçin."),
         QStringLiteral("runtime.blocked.no_writable_target")},
        {"accessibility off", inspection(I::accessibilityPermissionMissing),
         SessionState::blocked(SessionBlockReason::permissionsMissing), QStringLiteral("İzinler eksik."),
         QStringLiteral("runtime.blocked.permissions_missing")},
        {"no focused element", inspection(I::focusedElementUnavailable),
         SessionState::blocked(SessionBlockReason::noWritableTarget), QStringLiteral("Yazılabilir bir alan seçin."),
         QStringLiteral("runtime.blocked.no_writable_target")},
        {"capture refuses to start",
         [](FakeBootstrap& f, AppBootstrap&) {
             f.audioCapture->startOutcome.pushFailure(AudioCaptureError(AudioCaptureErrorCase::engineStartFailed));
         },
         SessionState::error(kUnexpected),
         QStringLiteral("Audio capture could not be started."),
         {}},
    };
    for (const Row& row : rows) {
        DictationRig rig(row.adjust);
        const qsizetype before = rig.fakes.diagnostics->stored.size();
        rig.press();
        EXPECT_EQ(rig.state(), row.state) << row.label;
        EXPECT_EQ(rig.message(), row.message) << row.label;
        const QString newest = rig.fakes.diagnostics->stored.size() > before ? rig.codes().first() : QString();
        EXPECT_EQ(newest, row.newestEvent) << row.label;
    }
}

TEST(RecordingSession, StopOutcomes) {
    struct Row {
        const char* label;
        double seconds;
        double peak;
        Adjust adjust;
        SessionState state;
        QString message;
        QString newestEvent;
    };
    const auto local = [](FakeBootstrap& f, AppBootstrap&) {
        f.userDefaults->setString(QString::fromLatin1(SettingsKeys::selectedTranscriptionBackend),
                                  QStringLiteral("local"));
        f.localModels->availability = LocalRuntimeAvailability::unavailable(QStringLiteral("no engine"));
    };
    const auto noAccountService = [](FakeBootstrap& f, AppBootstrap& s) {
        f.account->storedSession = false;
        s.backendAuthSessionManager = nullptr;
    };
    const QString tooShort = QStringLiteral("Recording is too short (0.79 sec). Hold the hotkey and speak.");
    const QString silent = QStringLiteral(
        "No audio detected. The selected device produced no audio frames; check "
        "microphone routing and driver status.");
    const QString noSpeechCode = QStringLiteral("runtime.error.no_speech_detected");
    const QList<Row> rows{
        {"too short", 0.79, 0.3, {}, SessionState::error(kNoSpeech), tooShort, noSpeechCode},
        {"just long enough", 0.8, 0.3, {}, SessionState::uploading(), {}, {}},
        {"silent", 2.0, 0.0149, {}, SessionState::error(kNoSpeech), silent, noSpeechCode},
        {"just loud enough", 2.0, 0.015, {}, SessionState::uploading(), {}, {}},
        {"local engine not ready", 2.0, 0.3, local, SessionState::error(kUnexpected),
         QStringLiteral("Embedded runtime is not ready."),
         QStringLiteral("runtime.error.local_transcription_not_ready")},
        {"signed out", 2.0, 0.3, noAccountService,
         SessionState::error(QuorvelleError(QuorvelleErrorCase::invalidAPIKey)),
         QStringLiteral("Sign in to your Quorvelle account."), QStringLiteral("runtime.error.backend_auth_missing")},
    };
    for (const Row& row : rows) {
        DictationRig rig(row.adjust);
        rig.fakes.transcriber->held.setHolding(true);
        CapturedAudioClip clip = FakeAudioCapture::oneSecondClip();
        clip.duration = row.seconds;
        rig.fakes.audioCapture->stopAnswer.push(clip);
        rig.dictate(row.peak);
        EXPECT_EQ(rig.state(), row.state) << row.label;
        EXPECT_EQ(rig.message(), row.message) << row.label;
        EXPECT_EQ(rig.codes().value(0).startsWith(QStringLiteral("runtime.error")) ? rig.codes().value(0) : QString(),
                  row.newestEvent)
            << row.label;
        EXPECT_EQ(rig.fakes.transcriber->requests.size(), row.state == SessionState::uploading() ? 1 : 0) << row.label;
    }
}

// A held or repeated press must not cost the user the dictation already under way.
TEST(RecordingSession, APushToTalkPressDuringASessionChangesNothing) {
    DictationRig rig(
        [](FakeBootstrap& f, AppBootstrap&) { f.strategyResolver->strategy = TextInsertionStrategy::clipboardPaste; });
    rig.fakes.transcriber->held.setHolding(true);
    rig.press();
    for (const SessionState& active :
         {SessionState::recording(), SessionState::uploading(), SessionState::injecting()}) {
        if (active == SessionState::uploading()) {
            rig.level(0.3);
            rig.release();
        }
        if (active == SessionState::injecting()) {
            rig.fakes.transcriber->held.releaseAll();
            rig.settle();
        }
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
    EXPECT_EQ(rig.fakes.history->entries.first().transcript, QStringLiteral("hello world"));
}

TEST(RecordingSession, TheRecordingStopsItselfAfterSixtySeconds) {
    DictationRig rig;
    rig.fakes.transcriber->held.setHolding(true);
    rig.press();
    rig.level(0.3);
    ASSERT_EQ(rig.fakes.recordingDurationSleeper.requestedSeconds(), QList<double>{60.0});
    rig.fakes.recordingDurationSleeper.finishAll();
    EXPECT_EQ(rig.state(), SessionState::uploading());
    EXPECT_EQ(rig.message(), QStringLiteral("Recording was automatically stopped after the 60 sec maximum."));
}

TEST(RecordingSession, FinalStatesAreDismissedAfterTheirDelay) {
    struct Row {
        SessionState state;
        std::optional<double> delay;
    };
    const QList<Row> rows{
        {SessionState::success(), 2.0},
        {SessionState::fallbackCopied(), 3.0},
        {SessionState::blocked(SessionBlockReason::permissionsMissing), 5.0},
        {SessionState::error(kNoSpeech), 3.0},
        {SessionState::error(QuorvelleError::rateLimitedRetryAfter(30)), 5.0},
        {SessionState::recording(), std::nullopt},
    };
    for (const Row& row : rows) {
        DictationRig rig;
        SessionCoordinator& holder = *rig.fakes.sessionCoordinator;
        if (row.state.kind() == SessionState::Kind::blocked) holder.block(*row.state.blockReason());
        if (row.state.kind() == SessionState::Kind::error) holder.fail(*row.state.error());
        if (row.state.kind() == SessionState::Kind::recording) holder.beginRecording();
        if (row.state == SessionState::success() || row.state == SessionState::fallbackCopied()) {
            holder.beginRecording();
            holder.beginUploading();
            row.state == SessionState::success() ? holder.markSuccess() : holder.markFallbackCopied();
        }
        ASSERT_EQ(rig.state(), row.state);
        const QList<double> asked = rig.fakes.dismissSleeper.requestedSeconds();
        EXPECT_EQ(asked.isEmpty() ? std::nullopt : std::optional(asked.last()), row.delay);
        rig.fakes.dismissSleeper.finishAll();
        EXPECT_EQ(rig.state(), row.delay ? SessionState::idle() : row.state);
    }
}

}  // namespace
}  // namespace quorvelle::test
