#include "DeliveryServiceFakes.h"
#include "ViewModel/DiagnosticsSnapshotBuilder.h"
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
    EXPECT_FALSE(empty.focusedTargetSummary.has_value());
    EXPECT_FALSE(empty.lastDeliveryValidationOutcome.has_value());
}

}  // namespace
}  // namespace quorvelle::test
