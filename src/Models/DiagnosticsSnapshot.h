// DiagnosticsSnapshot: the read-only picture of the program's health that the status panel and
// the diagnostics views show as label and value rows. Rebuilt by the dictation session; not stored.
#pragma once

#include "Models/AudioDeviceInfo.h"
#include "Models/PermissionState.h"
#include "Models/SanitizedDiagnosticsEvent.h"
#include "Models/SessionState.h"

#include <QList>
#include <QString>

#include <optional>

namespace quorvelle {

struct DiagnosticsSnapshot {
    PermissionState microphonePermission = PermissionState::notDetermined;
    PermissionState accessibilityPermission = PermissionState::notDetermined;
    bool hasAPIKey = false;
    QString recordingReadinessSummary;
    QString transcriptionBackendLabel;
    QString transcriptionLanguageModeLabel;
    QString localRuntimeStatusLabel;
    QString selectedLocalModel;
    std::optional<QString> lastLocalRuntimeError;
    std::optional<qint64> lastLocalSegmentCount;
    std::optional<double> lastLocalNoSpeechProbability;
    std::optional<QString> lastLocalDetectedLanguage;
    QString selectedMicrophone;
    QString activeMicrophone;
    bool isMicrophoneFallbackActive = false;
    bool hotkeyMonitoringActive = false;
    SessionState runtimeState;
    std::optional<QString> lastErrorCode;
    std::optional<QString> focusedTargetSummary;
    std::optional<QString> focusedTargetBundleIdentifier;
    std::optional<QString> focusedTargetRole;
    std::optional<QString> focusedTargetSubrole;
    std::optional<QString> focusedTargetIdentifier;
    std::optional<QString> focusedTargetFrameSummary;
    std::optional<bool> focusedTargetIsEnabled;
    std::optional<bool> focusedTargetIsEditable;
    std::optional<bool> focusedTargetSupportsValueWrite;
    std::optional<bool> focusedTargetSupportsSelectedTextRangeWrite;
    std::optional<bool> focusedTargetIsTerminalLike;
    std::optional<QString> focusedTargetClassificationReason;
    std::optional<qint64> lastTargetIdentityScore;
    std::optional<QString> lastTargetIdentityReasons;
    std::optional<QString> lastDeliveryValidationOutcome;
    std::optional<QString> lastInsertionStrategy;
    std::optional<QString> lastInsertionOutcome;
    std::optional<QString> lastInsertionFailureReason;
    QString telemetrySummaryLine;
    QString telemetryTargetLine;
    QString captureRouteSummary;
    QString captureFormatSummary;
    QString captureInputPeakSummary;
    QString captureBufferSummary;
    QString captureSignalSummary;
    QList<SanitizedDiagnosticsEvent> events;
    QList<AudioDeviceInfo> audioDevices;

    // The picture before the session has built its first one. Its texts are fixed and do not
    // follow the interface language.
    static const DiagnosticsSnapshot& empty();

    friend bool operator==(const DiagnosticsSnapshot&, const DiagnosticsSnapshot&) = default;
};

}  // namespace quorvelle
