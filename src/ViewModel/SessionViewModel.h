#pragma once

#include "Models/AudioLevelSnapshot.h"
#include "Models/RateLimitCooldownState.h"
#include "Models/SessionState.h"
#include "Models/TranscriptHistoryCompletionKind.h"
#include "Models/TranscriptionTelemetrySnapshot.h"
#include "Services/Delivery/FocusedTargetIdentityScore.h"
#include "Services/Delivery/TextInsertionStrategy.h"
#include "Support/QueuedSubscription.h"
#include "Support/TaskHandle.h"
#include "ViewModel/AppBootstrap.h"
#include "ViewModel/DeliveryRecord.h"
#include "ViewModel/ViewModelContext.h"

#include <QObject>

#include <memory>
#include <optional>

namespace quorvelle {

// The dictation session: the mirrored session state, the hot key, the live microphone level, the
// target of the current dictation and the record of the last delivery.
class SessionViewModel : public QObject {
    Q_OBJECT

    // The session state, one turn of the event loop behind the session holder.
    Q_PROPERTY(quorvelle::SessionState runtimeState READ runtimeState NOTIFY runtimeStateChanged)
    // The global hot key is registered.
    Q_PROPERTY(bool isHotkeyMonitoringActive READ isHotkeyMonitoringActive NOTIFY isHotkeyMonitoringActiveChanged)
    // One line about the last recording; empty when none.
    Q_PROPERTY(QString lastCaptureSummary READ lastCaptureSummaryText NOTIFY lastCaptureSummaryChanged)
    // The live microphone level; changes many times a second while recording.
    Q_PROPERTY(
        quorvelle::AudioLevelSnapshot audioLevelSnapshot READ audioLevelSnapshot NOTIFY audioLevelSnapshotChanged)
    // The target inspected at the last recording start or delivery.
    Q_PROPERTY(
        std::optional<quorvelle::FocusedTargetSnapshot> focusedTarget READ focusedTarget NOTIFY focusedTargetChanged)
    // The latency record of recent transcriptions.
    Q_PROPERTY(quorvelle::TranscriptionTelemetrySnapshot transcriptionTelemetry READ transcriptionTelemetry NOTIFY
                   transcriptionTelemetryChanged)

public:
    SessionViewModel(const AppBootstrap& services, ViewModelContext& context, QObject* parent = nullptr);
    ~SessionViewModel() override;

    const SessionState& runtimeState() const { return m_runtimeState; }
    bool isHotkeyMonitoringActive() const { return m_isHotkeyMonitoringActive; }
    const std::optional<QString>& lastCaptureSummary() const { return m_lastCaptureSummary; }
    QString lastCaptureSummaryText() const { return m_lastCaptureSummary.value_or(QString()); }
    const AudioLevelSnapshot& audioLevelSnapshot() const { return m_audioLevelSnapshot; }
    const TranscriptionTelemetrySnapshot& transcriptionTelemetry() const { return m_transcriptionTelemetry; }
    // The target inspected at the last recording start or delivery.
    const std::optional<FocusedTargetSnapshot>& focusedTarget() const { return m_focusedTarget; }

    // What the last delivery did, for the diagnostics snapshot.
    const std::optional<FocusedTargetIdentityScore>& lastTargetIdentityScore() const {
        return m_lastTargetIdentityScore;
    }
    const std::optional<DeliveryValidationOutcome>& lastDeliveryValidationOutcome() const {
        return m_lastDeliveryValidationOutcome;
    }
    const std::optional<TextInsertionStrategy>& lastInsertionStrategy() const { return m_lastInsertionStrategy; }
    const std::optional<TranscriptHistoryCompletionKind>& lastInsertionOutcome() const {
        return m_lastInsertionOutcome;
    }
    const std::optional<QString>& lastInsertionFailureReason() const { return m_lastInsertionFailureReason; }
    const AudioCaptureDebugSnapshot& audioCaptureDebugSnapshot() const { return m_audioCaptureDebugSnapshot; }

    // Hands the stored microphone choice to the capture service, when it takes one.
    void applyPreferredInputDevice(const std::optional<QString>& uid);
    // Forgets the last delivery, as clearing the history does; the strategy stays for diagnostics.
    void forgetLastDelivery();
    // Forgets only the last direct insertion, which a new dictation could otherwise replace.
    void forgetLastDirectInsertion() { m_lastDirectInsertionContext.reset(); }

    // Registers the combination unless one is registered already; a refusal is reported in the
    // status line and the log. The monitor's calls come out as hotkeyPressed and hotkeyReleased on
    // the main thread, whichever thread made them.
    void startHotkeyMonitoring(const HotkeyShortcut& shortcut);
    void stopHotkeyMonitoring();

Q_SIGNALS:
    void runtimeStateChanged();
    void isHotkeyMonitoringActiveChanged();
    void lastCaptureSummaryChanged();
    void audioLevelSnapshotChanged();
    void transcriptionTelemetryChanged();
    void focusedTargetChanged();
    void hotkeyPressed();
    void hotkeyReleased();

private:
    // Subscription handlers, on the main thread a turn after the value was sent.
    void handleSessionStateChange(const SessionState& state);
    void handleAudioLevel(const AudioLevelSnapshot& snapshot);
    void handleCaptureDebugSnapshot(const AudioCaptureDebugSnapshot& snapshot);

    void setRuntimeState(const SessionState& state);
    void setAudioLevelSnapshot(const AudioLevelSnapshot& snapshot);
    void setHotkeyMonitoringActive(bool active);

    ViewModelContext& m_context;

    // Services.
    std::shared_ptr<SessionCoordinating> m_sessionCoordinator;
    std::shared_ptr<HotkeyMonitoring> m_hotkeyMonitor;
    std::shared_ptr<FocusedTargetInspecting> m_focusedTargetInspector;
    std::shared_ptr<AudioCapturing> m_audioCapture;
    std::shared_ptr<Transcribing> m_transcriber;
    std::shared_ptr<TextInserting> m_textInserter;
    std::shared_ptr<ClipboardWriting> m_pasteboardWriter;
    std::shared_ptr<TextInsertionStrategyResolving> m_textInsertionStrategyResolver;
    std::shared_ptr<SyntheticPastePerforming> m_syntheticPastePerformer;
    std::shared_ptr<TranscriptionTelemetryRecording> m_transcriptionTelemetryRecorder;

    // Published.
    SessionState m_runtimeState;
    bool m_isHotkeyMonitoringActive = false;
    std::optional<QString> m_lastCaptureSummary;
    AudioLevelSnapshot m_audioLevelSnapshot = AudioLevelSnapshot::silent();
    TranscriptionTelemetrySnapshot m_transcriptionTelemetry;
    std::optional<FocusedTargetSnapshot> m_focusedTarget;

    // Runtime bookkeeping.
    AudioCaptureDebugSnapshot m_audioCaptureDebugSnapshot = AudioCaptureDebugSnapshot::empty();
    RateLimitCooldownState m_rateLimitCooldown;
    double m_maximumObservedSpeechPeakPower = 0.0;
    TaskHandle m_transcriptionTask;
    TaskHandle m_terminalStateDismissTask;
    TaskHandle m_recordingDurationTask;
    std::optional<DeliveryValidationOutcome> m_lastDeliveryValidationOutcome;
    std::optional<FocusedTargetIdentityScore> m_lastTargetIdentityScore;
    std::optional<TextInsertionStrategy> m_lastInsertionStrategy;
    std::optional<TranscriptHistoryCompletionKind> m_lastInsertionOutcome;
    std::optional<QString> m_lastInsertionFailureReason;
    std::optional<LastDirectInsertionContext> m_lastDirectInsertionContext;

    // Declared last: they go first, so no handler runs on a half-destroyed part.
    std::unique_ptr<QueuedSubscription<SessionState>> m_stateSubscription;
    std::unique_ptr<QueuedSubscription<AudioLevelSnapshot>> m_levelSubscription;
    std::unique_ptr<QueuedSubscription<AudioCaptureDebugSnapshot>> m_debugSubscription;
};

}  // namespace quorvelle
