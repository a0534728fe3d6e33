#include "Models/DiagnosticsSnapshot.h"

#include "Models/LocalTranscriptionModelDescriptor.h"

namespace quorvelle {

namespace {

DiagnosticsSnapshot makeEmpty() {
    DiagnosticsSnapshot snapshot;
    snapshot.recordingReadinessSummary = QStringLiteral("Kurulum eksik.");
    snapshot.transcriptionBackendLabel = QStringLiteral("Cloud");
    snapshot.transcriptionLanguageModeLabel = QStringLiteral("Otomatik");
    snapshot.localRuntimeStatusLabel = QStringLiteral("Hazir");
    snapshot.selectedLocalModel = localModelDescriptor(LocalTranscriptionModelID::smallMultilingual).title;
    snapshot.selectedMicrophone = QStringLiteral("System Default");
    snapshot.activeMicrophone = QStringLiteral("Bilinmiyor");
    snapshot.runtimeState = SessionState::idle();
    snapshot.telemetrySummaryLine = QStringLiteral("Latency verisi henuz yok.");
    snapshot.telemetryTargetLine = QStringLiteral("Hedef: p50 <= 2500 ms, p95 <= 5000 ms");
    const QString none = QStringLiteral("Henuz yok");
    snapshot.captureRouteSummary = none;
    snapshot.captureFormatSummary = none;
    snapshot.captureInputPeakSummary = none;
    snapshot.captureBufferSummary = none;
    snapshot.captureSignalSummary = none;
    return snapshot;
}

}  // namespace

const DiagnosticsSnapshot& DiagnosticsSnapshot::empty() {
    static const DiagnosticsSnapshot snapshot = makeEmpty();
    return snapshot;
}

}  // namespace quorvelle
