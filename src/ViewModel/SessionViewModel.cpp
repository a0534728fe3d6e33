#include "ViewModel/SessionViewModel.h"

namespace quorvelle {

SessionViewModel::SessionViewModel(const AppBootstrap& services, ViewModelContext& context, QObject* parent)
    : QObject(parent),
      m_context(context),
      m_sessionCoordinator(services.sessionCoordinator),
      m_hotkeyMonitor(services.hotkeyMonitor),
      m_focusedTargetInspector(services.focusedTargetInspector),
      m_audioCapture(services.audioCapture),
      m_transcriber(services.transcriber),
      m_textInserter(services.textInserter),
      m_pasteboardWriter(services.pasteboardWriter),
      m_textInsertionStrategyResolver(services.textInsertionStrategyResolver),
      m_syntheticPastePerformer(services.syntheticPastePerformer),
      m_transcriptionTelemetryRecorder(services.transcriptionTelemetryRecorder),
      m_runtimeState(m_sessionCoordinator->state()),
      m_transcriptionTelemetry(m_transcriptionTelemetryRecorder->snapshot()) {
    auto* diagnosing = dynamic_cast<AudioCaptureDiagnosing*>(m_audioCapture.get());
    if (diagnosing) m_audioCaptureDebugSnapshot = diagnosing->debugSnapshot();

    m_stateSubscription = std::make_unique<QueuedSubscription<SessionState>>(
        m_sessionCoordinator->statePublisher(), this,
        [this](const SessionState& state) { handleSessionStateChange(state); });
    m_levelSubscription = std::make_unique<QueuedSubscription<AudioLevelSnapshot>>(
        m_audioCapture->levelPublisher(), this,
        [this](const AudioLevelSnapshot& snapshot) { handleAudioLevel(snapshot); });
    if (diagnosing) {
        m_debugSubscription = std::make_unique<QueuedSubscription<AudioCaptureDebugSnapshot>>(
            diagnosing->debugSnapshotPublisher(), this,
            [this](const AudioCaptureDebugSnapshot& snapshot) { handleCaptureDebugSnapshot(snapshot); });
    }
}

SessionViewModel::~SessionViewModel() {
    m_stateSubscription.reset();
    m_levelSubscription.reset();
    m_debugSubscription.reset();
}

void SessionViewModel::applyPreferredInputDevice(const std::optional<QString>& uid) {
    if (auto* selecting = dynamic_cast<AudioInputSelecting*>(m_audioCapture.get()))
        selecting->setPreferredInputDevice(uid);
}

void SessionViewModel::forgetLastDelivery() {
    m_lastDeliveryValidationOutcome.reset();
    m_lastTargetIdentityScore.reset();
    m_lastInsertionOutcome.reset();
    m_lastInsertionFailureReason.reset();
    m_lastDirectInsertionContext.reset();
}

void SessionViewModel::handleSessionStateChange(const SessionState& state) {
    setRuntimeState(state);
    m_context.refreshDiagnosticsSnapshot();
}

void SessionViewModel::handleAudioLevel(const AudioLevelSnapshot& snapshot) {
    setAudioLevelSnapshot(snapshot);
    if (m_runtimeState.kind() == SessionState::Kind::recording && snapshot.peakPower > m_maximumObservedSpeechPeakPower)
        m_maximumObservedSpeechPeakPower = snapshot.peakPower;
}

void SessionViewModel::handleCaptureDebugSnapshot(const AudioCaptureDebugSnapshot& snapshot) {
    m_audioCaptureDebugSnapshot = snapshot;
    m_context.refreshDiagnosticsSnapshot();
}

void SessionViewModel::setRuntimeState(const SessionState& state) {
    m_runtimeState = state;
    Q_EMIT runtimeStateChanged();
}

void SessionViewModel::setAudioLevelSnapshot(const AudioLevelSnapshot& snapshot) {
    m_audioLevelSnapshot = snapshot;
    Q_EMIT audioLevelSnapshotChanged();
}

}  // namespace quorvelle
