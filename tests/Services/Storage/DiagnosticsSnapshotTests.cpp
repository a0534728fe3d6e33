#include "Models/DiagnosticsSnapshot.h"
#include "Models/LocalTranscriptionModelDescriptor.h"
#include "StorageTestSupport.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

TEST(DiagnosticsSnapshotTest, TheEmptySnapshotHoldsTheFixedStartingTexts) {
    const DiagnosticsSnapshot& empty = DiagnosticsSnapshot::empty();
    EXPECT_EQ(&empty, &DiagnosticsSnapshot::empty());

    DiagnosticsSnapshot expected;
    expected.microphonePermission = PermissionState::notDetermined;
    expected.accessibilityPermission = PermissionState::notDetermined;
    expected.hasAPIKey = false;
    expected.recordingReadinessSummary = QStringLiteral("Kurulum eksik.");
    expected.transcriptionBackendLabel = QStringLiteral("Cloud");
    expected.transcriptionLanguageModeLabel = QStringLiteral("Otomatik");
    expected.localRuntimeStatusLabel = QStringLiteral("Hazir");
    expected.selectedLocalModel = localModelDescriptor(LocalTranscriptionModelID::smallMultilingual).title;
    expected.selectedMicrophone = QStringLiteral("System Default");
    expected.activeMicrophone = QStringLiteral("Bilinmiyor");
    expected.runtimeState = SessionState::idle();
    expected.telemetrySummaryLine = QStringLiteral("Latency verisi henuz yok.");
    expected.telemetryTargetLine = QStringLiteral("Hedef: p50 <= 2500 ms, p95 <= 5000 ms");
    expected.captureRouteSummary = expected.captureFormatSummary = expected.captureInputPeakSummary =
        expected.captureBufferSummary = expected.captureSignalSummary = QStringLiteral("Henuz yok");
    EXPECT_FALSE(expected.selectedLocalModel.isEmpty());
    EXPECT_EQ(empty, expected);

    DiagnosticsSnapshot withScore = empty;
    withScore.lastTargetIdentityScore = 0;
    EXPECT_FALSE(withScore == empty);
}

}  // namespace
}  // namespace quorvelle
