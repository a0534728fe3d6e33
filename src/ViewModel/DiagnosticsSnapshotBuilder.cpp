#include "ViewModel/DiagnosticsSnapshotBuilder.h"

#include "Models/LocalTranscriptionModelDescriptor.h"

#include <algorithm>

namespace quorvelle {

namespace {

QString frameSummary(const QRectF& frame) {
    // Width and height as magnitudes: a rectangle of negative size still reads as its extent.
    return QString::asprintf("x %.0f, y %.0f, w %.0f, h %.0f", frame.x(), frame.y(), std::abs(frame.width()),
                             std::abs(frame.height()));
}

QString signalSummary(const AudioCaptureDebugSnapshot& capture) {
    if (!capture.didObserveAudioFrames) return QStringLiteral("Audio frame gorulmedi.");
    if (capture.didObserveNonSilentAudio) return QStringLiteral("Non-silent audio frame goruldu.");
    return QStringLiteral("Audio frame goruldu ama non-silent sample yok.");
}

template <typename T, typename F>
auto mapped(const std::optional<T>& value, F&& label) -> std::optional<QString> {
    if (!value) return std::nullopt;
    return label(*value);
}

}  // namespace

QString deliveryValidationOutcomeLabel(DeliveryValidationOutcome outcome) {
    switch (outcome) {
        case DeliveryValidationOutcome::validatedSameSurface: return QStringLiteral("Validated same surface");
        case DeliveryValidationOutcome::focusedTargetUnavailable: return QStringLiteral("Focused target unavailable");
        case DeliveryValidationOutcome::insertionSurfaceChanged: return QStringLiteral("Insertion surface changed");
        case DeliveryValidationOutcome::frontmostApplicationChanged:
            return QStringLiteral("Frontmost application changed");
        case DeliveryValidationOutcome::replacementHintMismatch: return QStringLiteral("Replacement hint mismatch");
        case DeliveryValidationOutcome::clipboardPasteVerificationFailed:
            return QStringLiteral("Clipboard paste verification failed");
    }
    return {};
}

QString insertionStrategyLabel(TextInsertionStrategy strategy) {
    return strategy == TextInsertionStrategy::accessibilityValueWrite ? QStringLiteral("Accessibility write")
                                                                      : QStringLiteral("Clipboard paste");
}

QString insertionOutcomeLabel(TranscriptHistoryCompletionKind kind) {
    switch (kind) {
        case TranscriptHistoryCompletionKind::inserted: return QStringLiteral("Direct insert");
        case TranscriptHistoryCompletionKind::pastedViaClipboard: return QStringLiteral("Clipboard paste");
        case TranscriptHistoryCompletionKind::pasteSentUnverified: return QStringLiteral("Clipboard paste sent");
        case TranscriptHistoryCompletionKind::copiedToClipboard: return QStringLiteral("Clipboard copy");
    }
    return {};
}

DiagnosticsSnapshot DiagnosticsSnapshotBuilder::build() const {
    DiagnosticsSnapshot s;
    s.microphonePermission = onboardingStatus.microphonePermission;
    s.accessibilityPermission = onboardingStatus.accessibilityPermission;
    s.hasAPIKey = onboardingStatus.hasAPIKey;
    s.recordingReadinessSummary = recordingReadinessSummary;
    s.transcriptionBackendLabel =
        selectedTranscriptionBackend == TranscriptionBackend::local ? QStringLiteral("Local") : QStringLiteral("Cloud");
    const auto& language = selectedTranscriptionLanguage;
    s.transcriptionLanguageModeLabel =
        language.code ? language.name + QStringLiteral(" (") + *language.code + u')' : QStringLiteral("Otomatik");
    s.localRuntimeStatusLabel = localRuntimeStatusLabel;
    s.selectedLocalModel = localModelDescriptor(selectedLocalModelID).title;
    s.lastLocalRuntimeError = lastLocalRuntimeError;
    s.lastLocalSegmentCount = lastLocalSegmentCount;
    s.lastLocalNoSpeechProbability = lastLocalNoSpeechProbability;
    s.lastLocalDetectedLanguage = lastLocalDetectedLanguage;

    s.selectedMicrophone = inputSelection.requestedDeviceLabel();
    if (inputSelection.preferredDevice)
        s.activeMicrophone = inputSelection.preferredDevice->name;
    else if (inputSelection.defaultDevice)
        s.activeMicrophone = inputSelection.defaultDevice->name;
    else
        s.activeMicrophone = QStringLiteral("Bilinmiyor");
    s.isMicrophoneFallbackActive = inputSelection.isUsingDefaultFallback();
    s.hotkeyMonitoringActive = isHotkeyMonitoringActive;
    s.runtimeState = runtimeState;
    const auto firstError = std::find_if(events.begin(), events.end(), [](const SanitizedDiagnosticsEvent& event) {
        return event.level == DiagnosticsEventLevel::error;
    });
    if (firstError != events.end()) s.lastErrorCode = firstError->code;

    if (focusedTarget) {
        const FocusedTargetSnapshot& target = *focusedTarget;
        s.focusedTargetSummary = target.targetDescription();
        s.focusedTargetBundleIdentifier = target.app.bundleIdentifier;
        s.focusedTargetRole = target.element.role;
        s.focusedTargetSubrole = target.element.subrole;
        s.focusedTargetIdentifier = target.element.identifier;
        s.focusedTargetFrameSummary = mapped(target.element.frame, frameSummary);
        s.focusedTargetIsEnabled = target.element.isEnabled;
        s.focusedTargetIsEditable = target.element.isEditable;
        s.focusedTargetSupportsValueWrite = target.element.supportsValueWrite;
        s.focusedTargetSupportsSelectedTextRangeWrite = target.element.supportsSelectedTextRangeWrite;
        s.focusedTargetClassificationReason = target.terminalLikeReason();
        s.focusedTargetIsTerminalLike = s.focusedTargetClassificationReason.has_value();
    }
    if (lastTargetIdentityScore) {
        s.lastTargetIdentityScore = lastTargetIdentityScore->score;
        s.lastTargetIdentityReasons = lastTargetIdentityScore->reasons.join(QStringLiteral(", "));
    }
    s.lastDeliveryValidationOutcome = mapped(lastDeliveryValidationOutcome, deliveryValidationOutcomeLabel);
    s.lastInsertionStrategy = mapped(lastInsertionStrategy, insertionStrategyLabel);
    s.lastInsertionOutcome = mapped(lastInsertionOutcome, insertionOutcomeLabel);
    s.lastInsertionFailureReason = lastInsertionFailureReason;

    s.telemetrySummaryLine = transcriptionTelemetry.summaryLine().value_or(QStringLiteral("Latency verisi henuz yok."));
    s.telemetryTargetLine = transcriptionTelemetry.targetSummaryLine();
    const AudioCaptureDebugSnapshot& capture = audioCaptureDebugSnapshot;
    s.captureRouteSummary = QStringLiteral("Istek: ") + capture.requestedDeviceLabel + QStringLiteral(" / Aktif: ") +
                            capture.resolvedDeviceLabel;
    s.captureFormatSummary = QStringLiteral("Input ") + capture.inputFormatSummary + QStringLiteral(" / Hedef ") +
                             capture.targetFormatSummary;
    s.captureInputPeakSummary = capture.signalSummary();
    s.captureBufferSummary = capture.bufferSummary();
    s.captureSignalSummary = signalSummary(capture);
    s.events = events;
    s.audioDevices = audioDevices;
    return s;
}

}  // namespace quorvelle
