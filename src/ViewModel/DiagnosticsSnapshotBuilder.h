#pragma once

#include "Models/AudioDeviceInfo.h"
#include "Models/DiagnosticsSnapshot.h"
#include "Models/LocalTranscriptionModelID.h"
#include "Models/OnboardingStatus.h"
#include "Models/SanitizedDiagnosticsEvent.h"
#include "Models/SessionState.h"
#include "Models/TranscriptHistoryCompletionKind.h"
#include "Models/TranscriptionBackend.h"
#include "Models/TranscriptionLanguageOption.h"
#include "Models/TranscriptionTelemetrySnapshot.h"
#include "Services/Audio/AudioCaptureDebugSnapshot.h"
#include "Services/Audio/ResolvedAudioInputDeviceSelection.h"
#include "Services/Delivery/FocusedTargetIdentityScore.h"
#include "Services/Delivery/FocusedTargetSnapshot.h"
#include "Services/Delivery/TextInsertionStrategy.h"
#include "ViewModel/DeliveryRecord.h"

#include <QList>

#include <optional>

namespace quorvelle {

// The inputs of one diagnostics snapshot, gathered by the view model; build() is pure.
struct DiagnosticsSnapshotBuilder {
    OnboardingStatus onboardingStatus;
    QString recordingReadinessSummary;
    TranscriptionBackend selectedTranscriptionBackend = TranscriptionBackend::cloud;
    TranscriptionLanguageOption selectedTranscriptionLanguage;
    QString localRuntimeStatusLabel;
    LocalTranscriptionModelID selectedLocalModelID = LocalTranscriptionModelID::smallMultilingual;
    std::optional<QString> lastLocalRuntimeError;
    std::optional<int> lastLocalSegmentCount;
    std::optional<double> lastLocalNoSpeechProbability;
    std::optional<QString> lastLocalDetectedLanguage;
    ResolvedAudioInputDeviceSelection inputSelection;
    bool isHotkeyMonitoringActive = false;
    SessionState runtimeState;
    std::optional<FocusedTargetSnapshot> focusedTarget;
    std::optional<FocusedTargetIdentityScore> lastTargetIdentityScore;
    std::optional<DeliveryValidationOutcome> lastDeliveryValidationOutcome;
    std::optional<TextInsertionStrategy> lastInsertionStrategy;
    std::optional<TranscriptHistoryCompletionKind> lastInsertionOutcome;
    std::optional<QString> lastInsertionFailureReason;
    TranscriptionTelemetrySnapshot transcriptionTelemetry;
    AudioCaptureDebugSnapshot audioCaptureDebugSnapshot = AudioCaptureDebugSnapshot::empty();
    QList<SanitizedDiagnosticsEvent> events;
    QList<AudioDeviceInfo> audioDevices;

    DiagnosticsSnapshot build() const;
};

QString deliveryValidationOutcomeLabel(DeliveryValidationOutcome outcome);
QString insertionStrategyLabel(TextInsertionStrategy strategy);
QString insertionOutcomeLabel(TranscriptHistoryCompletionKind kind);

}  // namespace quorvelle
