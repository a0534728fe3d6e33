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
#include "ViewModel/DictationSettings.h"
#include "ViewModel/RecordingStopLook.h"
#include "ViewModel/RecordingTargetDecision.h"
#include "ViewModel/TranscriptDelivery.h"
#include "ViewModel/TranscriptPostProcessing.h"
#include "ViewModel/ViewModelContext.h"

#include <QObject>
#include <QPointer>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

namespace quorvelle {

// The dictation session: the mirrored session state, the hot key, the live microphone level, the
// target of the current dictation and the record of the last delivery; and the road of one
// dictation from the hot key's press to the text in the user's field.
class SessionViewModel : public QObject {
    Q_OBJECT

    // The session state, one turn of the event loop behind the session holder; the views read its
    // case by name as `kind`.
    Q_PROPERTY(quorvelle::SessionState runtimeState READ runtimeState NOTIFY runtimeStateChanged)
    // The global hot key is registered.
    Q_PROPERTY(bool isHotkeyMonitoringActive READ isHotkeyMonitoringActive NOTIFY isHotkeyMonitoringActiveChanged)
    // One line about the last recording; null when none.
    Q_PROPERTY(QVariant lastCaptureSummary READ lastCaptureSummaryValue NOTIFY lastCaptureSummaryChanged)
    // The live microphone level; changes many times a second while recording.
    Q_PROPERTY(
        quorvelle::AudioLevelSnapshot audioLevelSnapshot READ audioLevelSnapshot NOTIFY audioLevelSnapshotChanged)
    // The target inspected at the last recording start or delivery.
    Q_PROPERTY(QVariant focusedTarget READ focusedTargetValue NOTIFY focusedTargetChanged)
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
    // The views' face of the optional values: null when absent.
    QVariant lastCaptureSummaryValue() const { return optionalValue(m_lastCaptureSummary); }
    QVariant focusedTargetValue() const { return optionalValue(m_focusedTarget); }
    const AudioLevelSnapshot& audioLevelSnapshot() const { return m_audioLevelSnapshot; }
    const TranscriptionTelemetrySnapshot& transcriptionTelemetry() const { return m_transcriptionTelemetry; }
    // The target inspected at the last recording start or delivery.
    const std::optional<FocusedTargetSnapshot>& focusedTarget() const { return m_focusedTarget; }

    // What the last delivery did, for the diagnostics snapshot.
    const std::optional<FocusedTargetIdentityScore>& lastTargetIdentityScore() const {
        return m_delivery.record().targetIdentityScore;
    }
    const std::optional<DeliveryValidationOutcome>& lastDeliveryValidationOutcome() const {
        return m_delivery.record().validationOutcome;
    }
    const std::optional<TextInsertionStrategy>& lastInsertionStrategy() const {
        return m_delivery.record().insertionStrategy;
    }
    const std::optional<TranscriptHistoryCompletionKind>& lastInsertionOutcome() const {
        return m_delivery.record().insertionOutcome;
    }
    const std::optional<QString>& lastInsertionFailureReason() const {
        return m_delivery.record().insertionFailureReason;
    }
    const std::optional<LastDirectInsertionContext>& lastDirectInsertionContext() const {
        return m_delivery.record().directInsertionContext;
    }
    const AudioCaptureDebugSnapshot& audioCaptureDebugSnapshot() const { return m_audioCaptureDebugSnapshot; }

    // Hands the stored microphone choice to the capture service, when it takes one.
    void applyPreferredInputDevice(const std::optional<QString>& uid);
    // Forgets the last delivery, as clearing the history does; the strategy stays for diagnostics.
    void forgetLastDelivery();
    // Forgets only the last direct insertion, which a new dictation could otherwise replace.
    void forgetLastDirectInsertion();
    // Releases the combination, so that a changed one can be registered.
    void stopHotkeyMonitoring();

    // How the session reads the other parts' settings; the root installs it.
    void setDictationSettingsSource(std::function<DictationSettings()> source) { m_settingsSource = std::move(source); }

    // Registers the hot key while dictation can run; otherwise abandons any session without a word.
    void applyRuntimeReadiness(bool isRuntimeReady);
    void startHotkeyMonitoring();
    // The hot key's press and release, on the main thread.
    Q_INVOKABLE void handleHotkeyPressed();
    Q_INVOKABLE void handleHotkeyReleased();
    void startRecording();
    void stopRecordingAndTranscribe();
    // A running transcription, if any; empty once it has ended.
    const TaskHandle& transcriptionTask() const { return m_transcriptionTask; }
    double maximumObservedSpeechPeakPower() const { return m_maximumObservedSpeechPeakPower; }
    const RateLimitCooldownState& rateLimitCooldown() const { return m_rateLimitCooldown; }

Q_SIGNALS:
    void runtimeStateChanged();
    void isHotkeyMonitoringActiveChanged();
    void lastCaptureSummaryChanged();
    void audioLevelSnapshotChanged();
    void transcriptionTelemetryChanged();
    void focusedTargetChanged();
    // A press or release of the hot key reached the session, before it acts on it.
    void hotkeyPressed();
    void hotkeyReleased();
    // A dictation ended with its text delivered or left on the clipboard: the history takes it.
    void transcriptDelivered(const QString& transcript, double durationSeconds,
                             quorvelle::TranscriptHistoryCompletionKind completionKind);
    // The words of a dictation are about to go into a field (a paste, a direct write): the history
    // keeps them, as `completionKind`, until transcriptDelivered brings them as they ended.
    void transcriptHeld(const QString& transcript, double durationSeconds,
                        quorvelle::TranscriptHistoryCompletionKind completionKind);
    // The held words never reached a field: what transcriptHeld kept is dropped.
    void heldTranscriptWithdrawn();
    // What an on-device run leaves in the local-model details.
    void localRunReported(const quorvelle::LocalRunReport& report);

private:
    // Subscription handlers, on the main thread a turn after the value was sent.
    void handleSessionStateChange(const SessionState& state);
    void handleAudioLevel(const AudioLevelSnapshot& snapshot);
    void handleCaptureDebugSnapshot(const AudioCaptureDebugSnapshot& snapshot);

    void setRuntimeState(const SessionState& state);
    void setAudioLevelSnapshot(const AudioLevelSnapshot& snapshot);
    void setHotkeyMonitoringActive(bool active);
    void setLastCaptureSummary(std::optional<QString> summary);
    void setFocusedTarget(std::optional<FocusedTargetSnapshot> target);

    DictationSettings dictationSettings() const;
    void recordEvent(DiagnosticsEventLevel level, const QString& code, const QString& message);
    // A hot-key callback reaches the session on the main thread, and never once it is gone.
    static void dispatchHotkeyEvent(const QPointer<SessionViewModel>& self, void (SessionViewModel::*handler)());

    // Recording.
    bool inspectFocusedTarget(const DictationSettings& settings);
    // Whether the recording may go on with what a look at the focus found; where not, blocks it (and
    // says why). While `mayWait`, a window whose application is on its way to the accessibility bus
    // passes, to be decided once it came, and so does one on the bus that names no focused element
    // yet, to be decided once the focus rested (decideTarget).
    bool admitTarget(const RecordingTargetDecision::Look& look, const DictationSettings& settings, bool mayWait);
    void decideTarget(const RecordingTargetDecision::Look& look);
    // The press's target was let through: a look once the focus rested may find a password field
    // (the recording is dropped) or another field of the same window (the words are for it).
    bool reconsiderTarget(const RecordingTargetDecision::Look& look);
    // After the look at the stop: on a password field the recording is dropped as at the press,
    // otherwise it is sent.
    void uploadUnlessPasswordField(const std::optional<FocusedTargetSnapshot>& passwordField,
                                   const CapturedAudioClip& clip);
    void blockRecording(SessionBlockReason reason);
    // The error's own message unless an explanation is given.
    void failRecording(const QuorvelleError& error, const std::optional<QString>& explanation = std::nullopt);
    void rejectClip(const QString& message);
    void startRecordingDurationLimit();
    QCoro::Task<void> runRecordingDurationLimit(TaskGuard guard);
    void scheduleTerminalStateDismiss(const SessionState& state);
    QCoro::Task<void> runTerminalStateDismiss(double delay, SessionState state, TaskGuard guard);

    // Transcription.
    // The checks of a stopped recording's clip, then its transcription.
    void transcribeClip(const CapturedAudioClip& clip);
    void transcribeCapturedAudio(const CapturedAudioClip& clip, std::shared_ptr<Transcribing> transcriber,
                                 quint64 startUptime);
    QCoro::Task<void> runTranscription(CapturedAudioClip clip, std::shared_ptr<Transcribing> transcriber,
                                       quint64 startUptime, quint64 generation, TaskGuard guard);
    void handleEngineFailure(std::exception_ptr failure, quint64 startUptime);
    void handleDeliveryFailure(std::exception_ptr failure);
    void handleTranscriptionError(const QuorvelleError& error, const std::optional<QString>& eventCode,
                                  bool recordsEvent = true);
    void recordLatencySample(quint64 startUptime, bool wasSuccessful);

    ViewModelContext& m_context;

    // Services.
    std::shared_ptr<SessionCoordinating> m_sessionCoordinator;
    std::shared_ptr<HotkeyMonitoring> m_hotkeyMonitor;
    std::shared_ptr<FocusedTargetInspecting> m_focusedTargetInspector;
    std::shared_ptr<AudioCapturing> m_audioCapture;
    std::shared_ptr<AudioDeviceListing> m_audioDevices;
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
    bool m_hasBackendAuthSessionManager = false;
    std::function<DictationSettings()> m_settingsSource;
    AudioCaptureDebugSnapshot m_audioCaptureDebugSnapshot = AudioCaptureDebugSnapshot::empty();
    RateLimitCooldownState m_rateLimitCooldown;
    double m_maximumObservedSpeechPeakPower = 0.0;
    TaskHandle m_transcriptionTask;
    // Which spawn the handle above belongs to: a task clears it only while it is still its own.
    quint64 m_transcriptionGeneration = 0;
    TaskHandle m_terminalStateDismissTask;
    TaskHandle m_recordingDurationTask;
    RecordingTargetDecision m_targetDecision;
    RecordingStopLook m_stopLook;
    TranscriptDelivery m_delivery;

    // Declared last: they go first, so no handler runs on a half-destroyed part.
    std::unique_ptr<QueuedSubscription<SessionState>> m_stateSubscription;
    std::unique_ptr<QueuedSubscription<AudioLevelSnapshot>> m_levelSubscription;
    std::unique_ptr<QueuedSubscription<AudioCaptureDebugSnapshot>> m_debugSubscription;
};

}  // namespace quorvelle
