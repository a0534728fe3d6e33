#include "ViewModel/SessionViewModel.h"

#include "ViewModel/Published.h"

#include <QPointer>
#include <QThread>

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

void SessionViewModel::startHotkeyMonitoring(const HotkeyShortcut& shortcut) {
    if (m_hotkeyMonitor->isMonitoring()) {
        setHotkeyMonitoringActive(true);
        return;
    }
    // The callbacks never keep the part alive; one made on another thread is queued to the main one.
    const QPointer<SessionViewModel> self(this);
    const auto dispatch = [self](void (SessionViewModel::*signal)()) {
        return [self, signal] {
            if (!self) return;
            if (QThread::currentThread() == self->thread())
                (self.data()->*signal)();
            else
                QMetaObject::invokeMethod(self.data(), signal, Qt::QueuedConnection);
        };
    };
    try {
        m_hotkeyMonitor->startMonitoring(shortcut, dispatch(&SessionViewModel::hotkeyPressed),
                                         dispatch(&SessionViewModel::hotkeyReleased));
    } catch (...) {
        setHotkeyMonitoringActive(false);
        m_context.setInlineMessage(
            m_context.localized(u"Hotkey listener could not be started.", u"Hotkey dinleyici başlatılamadı."));
        m_context.recordEvent(DiagnosticsEventLevel::error, QStringLiteral("hotkey.monitor.start_failed"),
                              QStringLiteral("Hotkey dinleyici baslatilamadi."));
        return;
    }
    setHotkeyMonitoringActive(true);
    m_context.refreshDiagnosticsSnapshot();
}

void SessionViewModel::stopHotkeyMonitoring() {
    m_hotkeyMonitor->stopMonitoring();
    setHotkeyMonitoringActive(false);
}

void SessionViewModel::setHotkeyMonitoringActive(bool active) {
    publish(this, m_isHotkeyMonitoringActive, active, &SessionViewModel::isHotkeyMonitoringActiveChanged);
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
