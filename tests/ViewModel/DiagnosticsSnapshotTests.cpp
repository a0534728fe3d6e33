#include "DeliveryServiceFakes.h"
#include "ViewModel/DiagnosticsSnapshotBuilder.h"
#include "ViewModel/RecordingReadinessPolicy.h"
#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

SanitizedDiagnosticsEvent event(DiagnosticsEventLevel level, const char* code) {
    return SanitizedDiagnosticsEvent::make(QDateTime(QDate(2026, 3, 1), QTime(8, 0), Qt::UTC), level,
                                           QString::fromLatin1(code), QStringLiteral("m"));
}

TEST(DiagnosticsSnapshotBuilder, DerivesWhatTheInputsImplyAndLeavesAbsentOnesAbsent) {
    DiagnosticsSnapshotBuilder builder;
    builder.audioDevices = {{1, "usb", "USB Mic", false}, {2, "builtin", "Built-in", true}};
    builder.inputSelection =
        ResolvedAudioInputDeviceSelection::resolve(AudioInputDevicePreference{"gone", "Old Mic"}, builder.audioDevices);
    builder.events = {event(DiagnosticsEventLevel::info, "settings.theme.updated"),
                      event(DiagnosticsEventLevel::error, "runtime.error.network_unavailable"),
                      event(DiagnosticsEventLevel::error, "runtime.error.unexpected")};
    FocusedTargetSnapshot target = writableTextField();
    target.element.frame = QRectF(10.4, 20.6, 100, 50);
    builder.focusedTarget = target;
    builder.lastTargetIdentityScore = FocusedTargetIdentityScore{75, true, {"same process id", "same title"}};
    builder.audioCaptureDebugSnapshot.didObserveAudioFrames = true;
    const DiagnosticsSnapshot s = builder.build();
    EXPECT_EQ(s.activeMicrophone, QStringLiteral("Built-in"));
    EXPECT_TRUE(s.isMicrophoneFallbackActive);
    EXPECT_EQ(s.lastErrorCode, QStringLiteral("runtime.error.network_unavailable"));  // the newest error
    EXPECT_EQ(s.focusedTargetFrameSummary, QStringLiteral("x 10, y 21, w 100, h 50"));
    EXPECT_EQ(s.lastTargetIdentityReasons, QStringLiteral("same process id, same title"));
    EXPECT_EQ(s.captureSignalSummary, QStringLiteral("Audio frame goruldu ama non-silent sample yok."));

    builder = DiagnosticsSnapshotBuilder();
    builder.events = {event(DiagnosticsEventLevel::warning, "audio.capture.silent")};
    const DiagnosticsSnapshot empty = builder.build();
    EXPECT_EQ(empty.activeMicrophone, QStringLiteral("Bilinmiyor"));
    EXPECT_FALSE(empty.lastErrorCode.has_value());
}

TEST(RecordingReadinessPolicy, DecidesReadinessAndListsWhatIsMissing) {
    using P = RecordingReadinessPolicy;
    using B = TranscriptionBackend;
    // From signed in, cloud, everything granted.
    const auto judge = [](const std::function<void(P&, OnboardingStatus&)>& adjust) {
        P p;
        p.selectedTranscriptionBackend = B::cloud;
        p.hasBackendAuthSessionManager = p.hasSelectedLocalModelInstalled = true;
        p.onboardingStatus = {
            PermissionState::authorized, PermissionState::authorized, true, true, true, B::cloud, false};
        adjust(p, p.onboardingStatus);
        p.onboardingStatus.selectedTranscriptionBackend = p.selectedTranscriptionBackend;
        p.requiresBackendAccountSignIn = p.hasBackendAuthSessionManager && !p.onboardingStatus.hasAPIKey;
        return (p.isRuntimeReady() ? QStringLiteral("ready: ") : QStringLiteral("not ready: ")) + p.summary();
    };
    EXPECT_EQ(judge([](P&, auto&) {}), "ready: Ready.");
    EXPECT_EQ(judge([](P&, auto& o) { o.microphonePermission = PermissionState::denied; }),
              "ready: Missing: Microphone.");
    EXPECT_EQ(judge([](P& p, auto& o) { p.selectedTranscriptionBackend = B::local, o.hasAPIKey = false; }),
              "not ready: Missing: Quorvelle account.");
    EXPECT_EQ(judge([](P& p, auto& o) { p.hasBackendAuthSessionManager = o.hasAPIKey = false; }),
              "not ready: Missing: API key.");
    EXPECT_EQ(judge([](P& p, auto& o) {
                  p.selectedTranscriptionBackend = B::local, p.hasSelectedLocalModelInstalled = false;
                  p.localRuntimeAvailability = LocalRuntimeAvailability::unavailable(QStringLiteral("x"));
                  o.accessibilityPermission = PermissionState::denied;
              }),
              "not ready: Missing: Accessibility, Local runtime, Local model.");
    EXPECT_EQ(judge([](P&, auto& o) { o.hasAcceptedGroqDisclosure = o.hasAcceptedPrivacyDisclosure = false; }),
              "not ready: Missing: Cloud disclosure, Privacy disclosure.");
}

}  // namespace
}  // namespace quorvelle::test
