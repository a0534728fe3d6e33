// DiagnosticsSnapshot: the read-only picture of the program's health that the status panel and
// the diagnostics views show as label and value rows. Rebuilt by the dictation session; not stored.
#pragma once

#include "Models/AudioDeviceInfo.h"
#include "Models/PermissionState.h"
#include "Models/SanitizedDiagnosticsEvent.h"
#include "Models/SessionState.h"
#include "Support/QmlValues.h"

#include <QList>
#include <QString>

#include <optional>

namespace quorvelle {

struct DiagnosticsSnapshot {
    Q_GADGET
    Q_PROPERTY(QString microphonePermission READ microphonePermissionName)
    Q_PROPERTY(QString accessibilityPermission READ accessibilityPermissionName)
    Q_PROPERTY(bool hasAPIKey MEMBER hasAPIKey)
    Q_PROPERTY(QString recordingReadinessSummary MEMBER recordingReadinessSummary)
    Q_PROPERTY(QString transcriptionBackendLabel MEMBER transcriptionBackendLabel)
    Q_PROPERTY(QString transcriptionLanguageModeLabel MEMBER transcriptionLanguageModeLabel)
    Q_PROPERTY(QString localRuntimeStatusLabel MEMBER localRuntimeStatusLabel)
    Q_PROPERTY(QString selectedLocalModel MEMBER selectedLocalModel)
    Q_PROPERTY(QVariant lastLocalRuntimeError READ lastLocalRuntimeErrorValue)
    Q_PROPERTY(QVariant lastLocalSegmentCount READ lastLocalSegmentCountValue)
    Q_PROPERTY(QVariant lastLocalNoSpeechProbability READ lastLocalNoSpeechProbabilityValue)
    Q_PROPERTY(QVariant lastLocalDetectedLanguage READ lastLocalDetectedLanguageValue)
    Q_PROPERTY(QString selectedMicrophone MEMBER selectedMicrophone)
    Q_PROPERTY(QString activeMicrophone MEMBER activeMicrophone)
    Q_PROPERTY(bool isMicrophoneFallbackActive MEMBER isMicrophoneFallbackActive)
    Q_PROPERTY(bool hotkeyMonitoringActive MEMBER hotkeyMonitoringActive)
    Q_PROPERTY(quorvelle::SessionState runtimeState MEMBER runtimeState)
    Q_PROPERTY(QVariant lastErrorCode READ lastErrorCodeValue)
    Q_PROPERTY(QVariant focusedTargetSummary READ focusedTargetSummaryValue)
    Q_PROPERTY(QVariant focusedTargetBundleIdentifier READ focusedTargetBundleIdentifierValue)
    Q_PROPERTY(QVariant focusedTargetRole READ focusedTargetRoleValue)
    Q_PROPERTY(QVariant focusedTargetSubrole READ focusedTargetSubroleValue)
    Q_PROPERTY(QVariant focusedTargetIdentifier READ focusedTargetIdentifierValue)
    Q_PROPERTY(QVariant focusedTargetFrameSummary READ focusedTargetFrameSummaryValue)
    Q_PROPERTY(QVariant focusedTargetIsEnabled READ focusedTargetIsEnabledValue)
    Q_PROPERTY(QVariant focusedTargetIsEditable READ focusedTargetIsEditableValue)
    Q_PROPERTY(QVariant focusedTargetSupportsValueWrite READ focusedTargetSupportsValueWriteValue)
    Q_PROPERTY(
        QVariant focusedTargetSupportsSelectedTextRangeWrite READ focusedTargetSupportsSelectedTextRangeWriteValue)
    Q_PROPERTY(QVariant focusedTargetIsTerminalLike READ focusedTargetIsTerminalLikeValue)
    Q_PROPERTY(QVariant focusedTargetClassificationReason READ focusedTargetClassificationReasonValue)
    Q_PROPERTY(QVariant lastTargetIdentityScore READ lastTargetIdentityScoreValue)
    Q_PROPERTY(QVariant lastTargetIdentityReasons READ lastTargetIdentityReasonsValue)
    Q_PROPERTY(QVariant lastDeliveryValidationOutcome READ lastDeliveryValidationOutcomeValue)
    Q_PROPERTY(QVariant lastInsertionStrategy READ lastInsertionStrategyValue)
    Q_PROPERTY(QVariant lastInsertionOutcome READ lastInsertionOutcomeValue)
    Q_PROPERTY(QVariant lastInsertionFailureReason READ lastInsertionFailureReasonValue)
    Q_PROPERTY(QString telemetrySummaryLine MEMBER telemetrySummaryLine)
    Q_PROPERTY(QString telemetryTargetLine MEMBER telemetryTargetLine)
    Q_PROPERTY(QString captureRouteSummary MEMBER captureRouteSummary)
    Q_PROPERTY(QString captureFormatSummary MEMBER captureFormatSummary)
    Q_PROPERTY(QString captureInputPeakSummary MEMBER captureInputPeakSummary)
    Q_PROPERTY(QString captureBufferSummary MEMBER captureBufferSummary)
    Q_PROPERTY(QString captureSignalSummary MEMBER captureSignalSummary)

public:
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

    // The fields as the views read them: cases by name, absent values as null.
    QString microphonePermissionName() const { return rawValue(microphonePermission); }
    QString accessibilityPermissionName() const { return rawValue(accessibilityPermission); }
    QVariant lastLocalRuntimeErrorValue() const { return optionalValue(lastLocalRuntimeError); }
    QVariant lastLocalSegmentCountValue() const { return optionalValue(lastLocalSegmentCount); }
    QVariant lastLocalNoSpeechProbabilityValue() const { return optionalValue(lastLocalNoSpeechProbability); }
    QVariant lastLocalDetectedLanguageValue() const { return optionalValue(lastLocalDetectedLanguage); }
    QVariant lastErrorCodeValue() const { return optionalValue(lastErrorCode); }
    QVariant focusedTargetSummaryValue() const { return optionalValue(focusedTargetSummary); }
    QVariant focusedTargetBundleIdentifierValue() const { return optionalValue(focusedTargetBundleIdentifier); }
    QVariant focusedTargetRoleValue() const { return optionalValue(focusedTargetRole); }
    QVariant focusedTargetSubroleValue() const { return optionalValue(focusedTargetSubrole); }
    QVariant focusedTargetIdentifierValue() const { return optionalValue(focusedTargetIdentifier); }
    QVariant focusedTargetFrameSummaryValue() const { return optionalValue(focusedTargetFrameSummary); }
    QVariant focusedTargetIsEnabledValue() const { return optionalValue(focusedTargetIsEnabled); }
    QVariant focusedTargetIsEditableValue() const { return optionalValue(focusedTargetIsEditable); }
    QVariant focusedTargetSupportsValueWriteValue() const { return optionalValue(focusedTargetSupportsValueWrite); }
    QVariant focusedTargetSupportsSelectedTextRangeWriteValue() const {
        return optionalValue(focusedTargetSupportsSelectedTextRangeWrite);
    }
    QVariant focusedTargetIsTerminalLikeValue() const { return optionalValue(focusedTargetIsTerminalLike); }
    QVariant focusedTargetClassificationReasonValue() const { return optionalValue(focusedTargetClassificationReason); }
    QVariant lastTargetIdentityScoreValue() const { return optionalValue(lastTargetIdentityScore); }
    QVariant lastTargetIdentityReasonsValue() const { return optionalValue(lastTargetIdentityReasons); }
    QVariant lastDeliveryValidationOutcomeValue() const { return optionalValue(lastDeliveryValidationOutcome); }
    QVariant lastInsertionStrategyValue() const { return optionalValue(lastInsertionStrategy); }
    QVariant lastInsertionOutcomeValue() const { return optionalValue(lastInsertionOutcome); }
    QVariant lastInsertionFailureReasonValue() const { return optionalValue(lastInsertionFailureReason); }

    // The picture before the session has built its first one. Its texts are fixed and do not
    // follow the interface language.
    static const DiagnosticsSnapshot& empty();

    friend bool operator==(const DiagnosticsSnapshot&, const DiagnosticsSnapshot&) = default;
};

}  // namespace quorvelle
