#include "ViewModel/SessionViewModel.h"

#include "Processing/TranscriptionPrompt.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"
#include "Support/CancellationError.h"
#include "ViewModel/SessionCoordinator.h"
#include "ViewModel/SessionTexts.h"

#include <QPointer>
#include <QThread>

namespace quorvelle {

namespace {

constexpr double kMaximumRecordingSeconds = 60.0;
constexpr double kMinimumClipSeconds = 0.8;
constexpr double kMinimumSpeechPeakPower = 0.015;

using Kind = SessionState::Kind;

QString orNil(const std::optional<QString>& text) {
    return text.value_or(QStringLiteral("nil"));
}

QString flag(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QString preflightDetail(const FocusedTargetSnapshot& target, const QString& reasonCode) {
    const FocusedElementMetadata& element = target.element;
    const QString app =
        target.app.localizedName.value_or(target.app.bundleIdentifier.value_or(QStringLiteral("Unknown App")));
    return QStringList{QStringLiteral("reason=") + reasonCode,
                       QStringLiteral("app=") + app,
                       QStringLiteral("bundle=") + orNil(target.app.bundleIdentifier),
                       QStringLiteral("role=") + orNil(element.role),
                       QStringLiteral("subrole=") + orNil(element.subrole),
                       QStringLiteral("identifier=") + orNil(element.identifier),
                       QStringLiteral("enabled=") + flag(element.isEnabled),
                       QStringLiteral("editable=") + flag(element.isEditable),
                       QStringLiteral("valueSettable=") + flag(element.supportsValueWrite),
                       QStringLiteral("selectedRangeSettable=") + flag(element.supportsSelectedTextRangeWrite),
                       QStringLiteral("clipboardFallback=") + flag(target.isClipboardPasteCandidate())}
        .join(u' ');
}

QString inspectionCaseName(FocusedTargetInspectionError::Case errorCase) {
    switch (errorCase) {
        case FocusedTargetInspectionError::Case::accessibilityPermissionMissing:
            return QStringLiteral("accessibilityPermissionMissing");
        case FocusedTargetInspectionError::Case::frontmostApplicationUnavailable:
            return QStringLiteral("frontmostApplicationUnavailable");
        case FocusedTargetInspectionError::Case::focusedElementUnavailable: break;
    }
    return QStringLiteral("focusedElementUnavailable");
}

TranscriptPostProcessingSettings postProcessingSettings(const DictationSettings& settings) {
    return {settings.isDictionaryReplacementEnabled, settings.dictionaryEntries, settings.snippets,
            settings.postProcessingMode, settings.savedCustomInstructions};
}

}  // namespace

SessionViewModel::SessionViewModel(const AppBootstrap& services, ViewModelContext& context, QObject* parent)
    : QObject(parent),
      m_context(context),
      m_sessionCoordinator(services.sessionCoordinator),
      m_hotkeyMonitor(services.hotkeyMonitor),
      m_focusedTargetInspector(services.focusedTargetInspector),
      m_audioCapture(services.audioCapture),
      m_audioDevices(services.audioDeviceService),
      m_transcriber(services.transcriber),
      m_textInserter(services.textInserter),
      m_pasteboardWriter(services.pasteboardWriter),
      m_textInsertionStrategyResolver(services.textInsertionStrategyResolver),
      m_syntheticPastePerformer(services.syntheticPastePerformer),
      m_transcriptionTelemetryRecorder(services.transcriptionTelemetryRecorder),
      m_runtimeState(m_sessionCoordinator->state()),
      m_transcriptionTelemetry(m_transcriptionTelemetryRecorder->snapshot()),
      m_hasBackendAuthSessionManager(services.backendAuthSessionManager != nullptr),
      m_targetDecision(context.tasks(), services.focusedTargetInspector, services.focusChangeAwaiter,
                       context.environment().uptimeNanosecondsProvider),
      m_stopLook(context.tasks(), services.focusedTargetInspector, services.focusChangeAwaiter,
                 context.environment().uptimeNanosecondsProvider),
      m_delivery(
          services, context,
          DeliveryOutlets{[this] { return dictationSettings().isClipboardFallbackEnabled; },
                          [this] { return dictationSettings().isLastDictationAutoReplaceEnabled; },
                          [this] { return m_focusedTarget; },
                          [this](std::optional<FocusedTargetSnapshot> target) { setFocusedTarget(std::move(target)); },
                          [this](const QString& text, double seconds, TranscriptHistoryCompletionKind kind) {
                              Q_EMIT transcriptDelivered(text, seconds, kind);
                          },
                          [this](const QString& text, double seconds, TranscriptHistoryCompletionKind kind) {
                              Q_EMIT transcriptHeld(text, seconds, kind);
                          },
                          [this] { Q_EMIT heldTranscriptWithdrawn(); }}) {
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
    m_transcriptionTask.cancel();
    m_targetDecision.cancel();
    m_stopLook.cancel();
    m_recordingDurationTask.cancel();
    m_terminalStateDismissTask.cancel();
    m_stateSubscription.reset();
    m_levelSubscription.reset();
    m_debugSubscription.reset();
}

void SessionViewModel::applyPreferredInputDevice(const std::optional<QString>& uid) {
    if (auto* selecting = dynamic_cast<AudioInputSelecting*>(m_audioCapture.get()))
        selecting->setPreferredInputDevice(uid);
}

void SessionViewModel::forgetLastDelivery() {
    LastDeliveryRecord& record = m_delivery.record();
    record.validationOutcome.reset();
    record.targetIdentityScore.reset();
    record.insertionOutcome.reset();
    record.insertionFailureReason.reset();
    record.directInsertionContext.reset();
}

// Readiness and the hot key.

void SessionViewModel::applyRuntimeReadiness(bool isRuntimeReady) {
    if (isRuntimeReady) {
        startHotkeyMonitoring();
        return;
    }
    m_transcriptionTask.cancel();
    m_targetDecision.cancel();
    m_stopLook.cancel();
    m_recordingDurationTask.cancel();
    m_terminalStateDismissTask.cancel();
    m_hotkeyMonitor->stopMonitoring();
    m_audioCapture->cancelCapture();
    setHotkeyMonitoringActive(false);
    m_sessionCoordinator->reset();
    setAudioLevelSnapshot(AudioLevelSnapshot::silent());
    m_context.refreshDiagnosticsSnapshot();
}

void SessionViewModel::startHotkeyMonitoring() {
    if (m_hotkeyMonitor->isMonitoring()) {
        setHotkeyMonitoringActive(true);
        return;
    }
    const QPointer<SessionViewModel> self(this);
    try {
        m_hotkeyMonitor->startMonitoring(
            dictationSettings().hotkey, [self] { dispatchHotkeyEvent(self, &SessionViewModel::handleHotkeyPressed); },
            [self] { dispatchHotkeyEvent(self, &SessionViewModel::handleHotkeyReleased); });
    } catch (...) {
        setHotkeyMonitoringActive(false);
        m_context.setInlineMessage(SessionTexts::hotkeyStartFailed(m_context.strings()));
        recordEvent(DiagnosticsEventLevel::error, QStringLiteral("hotkey.monitor.start_failed"),
                    QStringLiteral("Hotkey dinleyici baslatilamadi."));
        return;
    }
    setHotkeyMonitoringActive(true);
    m_context.refreshDiagnosticsSnapshot();
}

void SessionViewModel::forgetLastDirectInsertion() {
    m_delivery.record().directInsertionContext.reset();
}

void SessionViewModel::stopHotkeyMonitoring() {
    m_hotkeyMonitor->stopMonitoring();
    setHotkeyMonitoringActive(false);
}

void SessionViewModel::dispatchHotkeyEvent(const QPointer<SessionViewModel>& self,
                                           void (SessionViewModel::*handler)()) {
    // Called from the platform's key handling: nothing may escape into it.
    const auto run = [](SessionViewModel* target, void (SessionViewModel::*call)()) {
        try {
            (target->*call)();
        } catch (const std::exception& error) {
            qWarning("Hot-key handling failed: %s", error.what());
        } catch (...) {
            qWarning("Hot-key handling failed.");
        }
    };
    SessionViewModel* target = self.data();
    if (!target) return;
    if (QThread::currentThread() == target->thread()) {
        run(target, handler);
        return;
    }
    QMetaObject::invokeMethod(
        target,
        [self, handler, run] {
            if (self) run(self.data(), handler);
        },
        Qt::QueuedConnection);
}

void SessionViewModel::handleHotkeyPressed() {
    Q_EMIT hotkeyPressed();
    m_terminalStateDismissTask.cancel();
    const RecordingTriggerMode mode = dictationSettings().triggerMode;
    const Kind kind = m_runtimeState.kind();
    if (mode == RecordingTriggerMode::toggle && kind != Kind::blocked && kind != Kind::error) {
        if (kind == Kind::uploading || kind == Kind::injecting) return;
        if (kind == Kind::recording) {
            stopRecordingAndTranscribe();
            return;
        }
    }
    // A press while a session runs (held key, quick double press) must not disturb it.
    if (SessionCoordinator::isActive(m_sessionCoordinator->state())) return;
    startRecording();
}

void SessionViewModel::handleHotkeyReleased() {
    Q_EMIT hotkeyReleased();
    m_delivery.noteHotkeyReleased();
    if (dictationSettings().triggerMode == RecordingTriggerMode::pushToTalk) stopRecordingAndTranscribe();
}

// Recording.

void SessionViewModel::startRecording() {
    m_recordingDurationTask.cancel();
    m_targetDecision.cancel();
    m_stopLook.cancel();
    m_context.setInlineMessage(std::nullopt);
    setLastCaptureSummary(std::nullopt);
    m_maximumObservedSpeechPeakPower = 0.0;
    const DictationSettings settings = dictationSettings();
    const AppStrings strings = m_context.strings();

    if (m_hasBackendAuthSessionManager && !settings.onboardingStatus.hasAPIKey) {
        m_sessionCoordinator->fail(QuorvelleError(QuorvelleErrorCase::invalidAPIKey));
        const QString message = SessionTexts::signInRequired(strings);
        m_context.setInlineMessage(message);
        recordEvent(DiagnosticsEventLevel::error, QStringLiteral("runtime.error.account_access_locked"), message);
        return;
    }
    if (settings.onboardingStatus.microphonePermission != PermissionState::authorized) {
        // No device because no sound server answers is not a matter of permission.
        const bool serverAway = m_audioDevices && !m_audioDevices->isSoundServerReachable();
        failRecording(QuorvelleError(QuorvelleErrorCase::microphonePermissionDenied),
                      serverAway ? std::optional(SessionTexts::soundServerUnreachable(strings)) : std::nullopt);
        return;
    }
    if (const std::optional<int> seconds = m_rateLimitCooldown.remainingSeconds(m_context.now())) {
        m_sessionCoordinator->fail(QuorvelleError(QuorvelleErrorCase::rateLimited));
        m_context.setInlineMessage(SessionTexts::cooldownMessage(*seconds));
        return;
    }
    if (!inspectFocusedTarget(settings)) return;
    // Keys pressed from here to the end of the delivery may move the focus under the words.
    if (m_syntheticPastePerformer) m_syntheticPastePerformer->watchKeyPresses(true);
    try {
        m_sessionCoordinator->beginRecording();
        m_audioCapture->startCapture();
    } catch (...) {
        const SessionTexts::Failure failure = SessionTexts::sessionFailure(std::current_exception(), strings);
        m_sessionCoordinator->fail(failure.error);
        m_context.setInlineMessage(failure.message);
        return;
    }
    startRecordingDurationLimit();
    // The press is decided on the focus once it rests: a key pressed just before it (a Tab to a
    // password field) may not show on the bus yet, and what the window of an application on its way
    // to the bus holds is read once it came. The words said meanwhile are recorded, and dropped if
    // the answer refuses them.
    m_targetDecision.start(m_focusedTarget, [this](const RecordingTargetDecision::Look& look) { decideTarget(look); });
}

bool SessionViewModel::inspectFocusedTarget(const DictationSettings& settings) {
    RecordingTargetDecision::Look look;
    try {
        look.target = m_focusedTargetInspector->inspect();
    } catch (...) {
        look.failure = std::current_exception();
    }
    return admitTarget(look, settings, true);
}

bool SessionViewModel::admitTarget(const RecordingTargetDecision::Look& look, const DictationSettings& settings,
                                   bool mayWait) {
    std::optional<QString> inspectionFailure;
    if (look.failure) {
        try {
            std::rethrow_exception(look.failure);
        } catch (const FocusedTargetInspectionError& error) {
            if (error.errorCase() == FocusedTargetInspectionError::Case::accessibilityPermissionMissing) {
                setFocusedTarget(std::nullopt);
                blockRecording(SessionBlockReason::permissionsMissing);
                return false;
            }
            // An application on the bus that names no focus yet (too busy to answer on a window's first
            // press, or its focus on its way back): decided once the focus rested.
            if (mayWait && error.errorCase() == FocusedTargetInspectionError::Case::focusedElementUnavailable) {
                setFocusedTarget(std::nullopt);
                return true;
            }
            inspectionFailure = QStringLiteral("error=") + inspectionCaseName(error.errorCase());
        } catch (const std::exception& error) {
            inspectionFailure = QStringLiteral("error=") + QString::fromUtf8(error.what());
        } catch (...) {
            inspectionFailure = QStringLiteral("error=unknown");
        }
    }
    if (inspectionFailure) {
        setFocusedTarget(std::nullopt);
        recordEvent(DiagnosticsEventLevel::info, QStringLiteral("runtime.target.inspection_failed"),
                    *inspectionFailure);
        blockRecording(SessionBlockReason::noWritableTarget);
        return false;
    }
    const FocusedTargetSnapshot& target = look.target;
    // The window's focus may be on another field (GTK 4 shows none while the hot key holds the
    // keyboard): decided once the focus rested, and refused then if nothing better is found.
    if (mayWait && RecordingTargetDecision::isUnfocusedPasswordField(target)) {
        setFocusedTarget(std::nullopt);
        return true;
    }
    setFocusedTarget(target);
    m_delivery.record().targetIdentityScore.reset();
    // A password prompt told by its window's name is refused at once, whether its application came or not.
    if (mayWait && target.isApplicationArriving && !target.element.isSecure()) return true;
    const std::optional<SessionBlockReason> reason = dictationBlockReason(target, settings.isClipboardFallbackEnabled);
    if (!reason) return true;
    recordEvent(DiagnosticsEventLevel::info, QStringLiteral("runtime.target.preflight_blocked"),
                preflightDetail(target, SessionTexts::blocked(*reason).code));
    blockRecording(*reason);
    return false;
}

void SessionViewModel::decideTarget(const RecordingTargetDecision::Look& look) {
    // The session went on without this press's recording (a failed capture, a reset).
    if (m_sessionCoordinator->state().kind() != Kind::recording) {
        m_targetDecision.cancel();
        return;
    }
    if (look.pressTargetKnown ? !reconsiderTarget(look) : !admitTarget(look, dictationSettings(), false)) return;
    // A release before the decision left the clip waiting for it.
    if (std::optional<CapturedAudioClip> clip = m_targetDecision.takeClip()) transcribeClip(*clip);
}

bool SessionViewModel::reconsiderTarget(const RecordingTargetDecision::Look& look) {
    // A look that fails while the hot key holds the keyboard (GTK names no focus then) leaves the
    // press's target as it was.
    if (look.failure) return true;
    const FocusedTargetSnapshot& target = look.target;
    if (target.element.isSecure()) {
        setFocusedTarget(target);
        recordEvent(DiagnosticsEventLevel::info, QStringLiteral("runtime.target.preflight_blocked"),
                    preflightDetail(target, SessionTexts::blocked(SessionBlockReason::secureField).code));
        blockRecording(SessionBlockReason::secureField);
        return false;
    }
    // The key moved the focus to another field of the press's window: the words are for that one.
    // A field elsewhere is left to the delivery's own look.
    const std::optional<FocusedTargetSnapshot>& pressed = m_focusedTarget;
    const bool sameWindow = pressed && target.app.processIdentifier == pressed->app.processIdentifier &&
                            target.app.windowIdentifier == pressed->app.windowIdentifier;
    if (sameWindow && !target.isWindowOnly && !target.isApplicationArriving &&
        !dictationBlockReason(target, dictationSettings().isClipboardFallbackEnabled)) {
        setFocusedTarget(target);
    }
    return true;
}

void SessionViewModel::blockRecording(SessionBlockReason reason) {
    m_transcriptionTask.cancel();
    m_targetDecision.cancel();
    m_stopLook.cancel();
    m_recordingDurationTask.cancel();
    m_audioCapture->cancelCapture();
    setLastCaptureSummary(std::nullopt);
    m_maximumObservedSpeechPeakPower = 0.0;
    setAudioLevelSnapshot(AudioLevelSnapshot::silent());
    // A recording already under way (its target decided after the press) ends as the press would have.
    if (m_sessionCoordinator->state().kind() == Kind::recording)
        m_sessionCoordinator->refuseRecording(reason);
    else
        m_sessionCoordinator->block(reason);
    const SessionTexts::Block block = SessionTexts::blocked(reason);
    m_context.setInlineMessage(block.message);
    recordEvent(DiagnosticsEventLevel::warning, block.code, block.message);
}

void SessionViewModel::failRecording(const QuorvelleError& error, const std::optional<QString>& explanation) {
    const QString message = explanation.value_or(m_context.strings().errorMessage(error));
    m_transcriptionTask.cancel();
    m_targetDecision.cancel();
    m_stopLook.cancel();
    m_audioCapture->cancelCapture();
    setLastCaptureSummary(std::nullopt);
    m_maximumObservedSpeechPeakPower = 0.0;
    setAudioLevelSnapshot(AudioLevelSnapshot::silent());
    m_sessionCoordinator->fail(error);
    m_context.setInlineMessage(message);
    recordEvent(DiagnosticsEventLevel::error, error.diagnosticsCode(), message);
}

void SessionViewModel::startRecordingDurationLimit() {
    m_recordingDurationTask.cancel();
    m_recordingDurationTask =
        m_context.tasks().start([this](TaskGuard guard) { return runRecordingDurationLimit(guard); });
}

QCoro::Task<void> SessionViewModel::runRecordingDurationLimit(TaskGuard guard) {
    co_await m_context.environment().recordingDurationSleep(kMaximumRecordingSeconds, guard.stopToken);
    if (!guard || m_runtimeState.kind() != Kind::recording || !m_audioCapture->isCapturing()) co_return;
    const QString message = SessionTexts::maximumDurationMessage(kMaximumRecordingSeconds, m_context.strings());
    m_context.setInlineMessage(message);
    recordEvent(DiagnosticsEventLevel::warning, QStringLiteral("audio.capture.maximum_duration_reached"), message);
    stopRecordingAndTranscribe();
}

void SessionViewModel::stopRecordingAndTranscribe() {
    m_recordingDurationTask.cancel();
    // Stopped already, its clip waiting for the target's decision or the look at the stop.
    if (m_targetDecision.holdsClip() || m_stopLook.isPending()) return;
    if (!m_audioCapture->isCapturing()) {
        m_sessionCoordinator->cancelRecording();
        m_context.refreshDiagnosticsSnapshot();
        return;
    }
    const AppStrings strings = m_context.strings();
    CapturedAudioClip clip;
    try {
        clip = m_audioCapture->stopCapture();
    } catch (...) {
        const SessionTexts::Failure failure = SessionTexts::sessionFailure(std::current_exception(), strings);
        bool captureError = false;
        try {
            throw;
        } catch (const AudioCaptureError&) {
            captureError = true;
        } catch (...) {
        }
        m_sessionCoordinator->fail(failure.error);
        m_context.setInlineMessage(failure.message);
        recordEvent(
            DiagnosticsEventLevel::error,
            captureError ? QStringLiteral("audio.capture.stop_failed") : QStringLiteral("runtime.error.unexpected"),
            failure.message);
        return;
    }
    // Nothing of it goes anywhere before the target is known to take it.
    if (m_targetDecision.isPending()) {
        m_targetDecision.holdClip(std::move(clip));
        return;
    }
    transcribeClip(clip);
}

void SessionViewModel::transcribeClip(const CapturedAudioClip& clip) {
    const AppStrings strings = m_context.strings();
    setLastCaptureSummary(QStringLiteral("%1 sn, %2 Hz, %3")
                              .arg(QString::number(clip.duration, 'f', 2), QString::number(clip.sampleRate, 'f', 0),
                                   clip.fileExtension.toUpper()));
    if (!m_transcriber) {
        m_sessionCoordinator->cancelRecording();
        return;
    }
    const DictationSettings settings = dictationSettings();
    if (!(clip.duration >= kMinimumClipSeconds)) {
        rejectClip(SessionTexts::recordingTooShortMessage(settings.triggerMode, clip.duration, strings));
        return;
    }
    if (!(m_maximumObservedSpeechPeakPower >= kMinimumSpeechPeakPower)) {
        rejectClip(SessionTexts::noAudioDetectedMessage(m_audioCaptureDebugSnapshot, strings));
        return;
    }
    if (settings.backend == TranscriptionBackend::local) {
        if (!settings.isLocalModeReady) {
            const QString message =
                SessionTexts::localNotReadyMessage(settings.localRuntimeAvailability.isReady(), strings);
            m_sessionCoordinator->fail(QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure));
            m_context.setInlineMessage(message);
            recordEvent(DiagnosticsEventLevel::error, QStringLiteral("runtime.error.local_transcription_not_ready"),
                        message);
            return;
        }
    } else if (!settings.onboardingStatus.hasAPIKey) {
        m_sessionCoordinator->fail(QuorvelleError(QuorvelleErrorCase::invalidAPIKey));
        m_context.setInlineMessage(SessionTexts::signInRequired(strings));
        recordEvent(DiagnosticsEventLevel::error, QStringLiteral("runtime.error.backend_auth_missing"),
                    QStringLiteral("Quorvelle hesabi eksik."));
        return;
    }
    // The last look before anything of the recording leaves: a password field holding the focus now
    // ends it as at the press.
    m_stopLook.start(m_focusedTarget, clip,
                     [this](std::optional<FocusedTargetSnapshot> passwordField, const CapturedAudioClip& looked) {
                         uploadUnlessPasswordField(passwordField, looked);
                     });
}

void SessionViewModel::uploadUnlessPasswordField(const std::optional<FocusedTargetSnapshot>& passwordField,
                                                 const CapturedAudioClip& clip) {
    // The session went on without this recording meanwhile (a reset).
    if (m_sessionCoordinator->state().kind() != Kind::recording) return;
    if (passwordField) {
        recordEvent(DiagnosticsEventLevel::info, QStringLiteral("runtime.target.preflight_blocked"),
                    preflightDetail(*passwordField, SessionTexts::blocked(SessionBlockReason::secureField).code));
        blockRecording(SessionBlockReason::secureField);
        return;
    }
    m_sessionCoordinator->beginUploading();
    // Only a session that really moved on to uploading gets a transcription.
    if (m_sessionCoordinator->state().kind() != Kind::uploading) return;
    const quint64 start = m_context.environment().uptimeNanosecondsProvider();
    transcribeCapturedAudio(clip, m_transcriber, start);
}

void SessionViewModel::rejectClip(const QString& message) {
    m_sessionCoordinator->fail(QuorvelleError(QuorvelleErrorCase::noSpeechDetected));
    m_context.setInlineMessage(message);
    m_maximumObservedSpeechPeakPower = 0.0;
    recordEvent(DiagnosticsEventLevel::warning, QStringLiteral("runtime.error.no_speech_detected"), message);
}

// Transcription.

void SessionViewModel::transcribeCapturedAudio(const CapturedAudioClip& clip, std::shared_ptr<Transcribing> transcriber,
                                               quint64 startUptime) {
    m_transcriptionTask.cancel();
    const quint64 generation = ++m_transcriptionGeneration;
    TaskHandle handle = m_context.tasks().start([this, clip, transcriber, startUptime, generation](TaskGuard guard) {
        return runTranscription(clip, transcriber, startUptime, generation, guard);
    });
    // A task that already ended (an engine that answered at once) leaves no handle behind.
    if (handle.isRunning() && generation == m_transcriptionGeneration) m_transcriptionTask = handle;
}

QCoro::Task<void> SessionViewModel::runTranscription(CapturedAudioClip clip, std::shared_ptr<Transcribing> transcriber,
                                                     quint64 startUptime, quint64 generation, TaskGuard guard) {
    const DictationSettings before = dictationSettings();
    const TranscriptionPromptContext context =
        buildTranscriptionPrompt(before.savedCustomInstructions, before.vocabularyHintEntries, m_focusedTarget);
    QString transcript;
    std::exception_ptr engineFailure;
    try {
        if (auto* contextual = dynamic_cast<ContextualTranscribing*>(transcriber.get())) {
            transcript = co_await contextual->transcribeWithContext(clip, context, before.postProcessingMode,
                                                                    before.language.code, guard.stopToken);
        } else {
            transcript = co_await transcriber->transcribe(clip, context.prompt, before.language.code, guard.stopToken);
        }
    } catch (...) {
        engineFailure = std::current_exception();
    }
    // Stopped (reset, superseded) or the view model is gone: no effect at all.
    if (!guard) co_return;
    const auto finish = [this, generation] {
        if (generation == m_transcriptionGeneration) m_transcriptionTask = TaskHandle();
    };
    if (engineFailure) {
        handleEngineFailure(engineFailure, startUptime);
        finish();
        co_return;
    }

    const DictationSettings settings = dictationSettings();
    if (settings.backend == TranscriptionBackend::local) Q_EMIT localRunReported(LocalRunReport::cleared());
    const QString text = postProcessTranscript(transcript, postProcessingSettings(settings));
    if (m_sessionCoordinator->state().kind() != Kind::uploading) {
        finish();
        co_return;
    }
    recordLatencySample(startUptime, true);
    m_rateLimitCooldown.cooldownUntil.reset();

    std::exception_ptr deliveryFailure;
    try {
        co_await m_delivery.deliverTranscript(text, clip.duration, guard.stopToken);
    } catch (...) {
        deliveryFailure = std::current_exception();
    }
    if (!guard) co_return;
    if (deliveryFailure) handleDeliveryFailure(deliveryFailure);
    finish();
}

void SessionViewModel::handleEngineFailure(std::exception_ptr failure, quint64 startUptime) {
    const AppStrings strings = m_context.strings();
    try {
        std::rethrow_exception(failure);
    } catch (const CancellationError&) {
    } catch (const LocalTranscriptionRuntimeError& error) {
        recordLatencySample(startUptime, false);
        const SessionTexts::LocalRunFailure local = SessionTexts::localRuntimeFailure(error, strings);
        Q_EMIT localRunReported(
            {error.diagnostics(), local.keepsMessageAsLastError ? std::optional(local.message) : std::nullopt});
        handleTranscriptionError(local.sessionError, local.eventCode);
    } catch (const QuorvelleError& error) {
        recordLatencySample(startUptime, false);
        handleTranscriptionError(error, std::nullopt);
    } catch (...) {
        recordLatencySample(startUptime, false);
        if (dictationSettings().backend == TranscriptionBackend::local)
            Q_EMIT localRunReported({std::nullopt, std::optional(SessionTexts::unexpectedError(strings))});
        handleTranscriptionError(QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure), std::nullopt);
    }
}

// The transcription itself succeeded and has its sample: a failed delivery adds no second sample,
// and no second event where the delivery already recorded one.
void SessionViewModel::handleDeliveryFailure(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const CancellationError&) {
    } catch (const ReportedDeliveryFailure& reported) {
        handleTranscriptionError(reported.error(), std::nullopt, false);
    } catch (const QuorvelleError& error) {
        handleTranscriptionError(error, std::nullopt);
    } catch (...) {
        handleTranscriptionError(QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure), std::nullopt);
    }
}

void SessionViewModel::handleTranscriptionError(const QuorvelleError& error, const std::optional<QString>& eventCode,
                                                bool recordsEvent) {
    const Kind kind = m_sessionCoordinator->state().kind();
    if (kind != Kind::uploading && kind != Kind::injecting) return;
    std::optional<int> seconds;
    if (error.errorCase() == QuorvelleErrorCase::rateLimitedRetryAfter) {
        const qint64 retryAfter = std::clamp<qint64>(error.retryAfterSeconds().value_or(0), 0, INT_MAX);
        seconds = m_rateLimitCooldown.start(m_context.now(), int(retryAfter));
    } else if (error.errorCase() == QuorvelleErrorCase::rateLimited) {
        seconds = m_rateLimitCooldown.start(m_context.now(), std::nullopt);
    }
    const QString message = SessionTexts::rateLimitedMessage(error, seconds, m_context.strings());
    m_context.setInlineMessage(message);
    m_sessionCoordinator->fail(error);
    if (recordsEvent)
        recordEvent(DiagnosticsEventLevel::error, eventCode.value_or(error.diagnosticsCode()), message);
    else
        m_context.refreshDiagnosticsSnapshot();
}

void SessionViewModel::recordLatencySample(quint64 startUptime, bool wasSuccessful) {
    const quint64 now = m_context.environment().uptimeNanosecondsProvider();
    const quint64 elapsedMs = now >= startUptime ? (now - startUptime) / 1'000'000 : 0;
    m_transcriptionTelemetryRecorder->record(int(std::min<quint64>(elapsedMs, INT_MAX)), wasSuccessful);
    m_transcriptionTelemetry = m_transcriptionTelemetryRecorder->snapshot();
    Q_EMIT transcriptionTelemetryChanged();
    m_context.refreshDiagnosticsSnapshot();
}

// Subscriptions and dismissal.

void SessionViewModel::handleSessionStateChange(const SessionState& state) {
    setRuntimeState(state);
    // The user's typing between dictations is none of the app's business.
    if (m_syntheticPastePerformer && !SessionCoordinator::isActive(m_sessionCoordinator->state()))
        m_syntheticPastePerformer->watchKeyPresses(false);
    scheduleTerminalStateDismiss(state);
    m_context.refreshDiagnosticsSnapshot();
}

void SessionViewModel::scheduleTerminalStateDismiss(const SessionState& state) {
    m_terminalStateDismissTask.cancel();
    const std::optional<double> delay = m_context.environment().terminalStateDismissDelayProvider(state);
    if (!delay) return;
    m_terminalStateDismissTask = m_context.tasks().start(
        [this, seconds = *delay, state](TaskGuard guard) { return runTerminalStateDismiss(seconds, state, guard); });
}

QCoro::Task<void> SessionViewModel::runTerminalStateDismiss(double delay, SessionState state, TaskGuard guard) {
    co_await m_context.environment().terminalStateDismissSleep(delay, guard.stopToken);
    if (!guard) co_return;
    if (m_runtimeState == state) m_sessionCoordinator->dismissTerminalState();
}

void SessionViewModel::handleAudioLevel(const AudioLevelSnapshot& snapshot) {
    setAudioLevelSnapshot(snapshot);
    if (m_runtimeState.kind() == Kind::recording && snapshot.peakPower > m_maximumObservedSpeechPeakPower)
        m_maximumObservedSpeechPeakPower = snapshot.peakPower;
}

void SessionViewModel::handleCaptureDebugSnapshot(const AudioCaptureDebugSnapshot& snapshot) {
    m_audioCaptureDebugSnapshot = snapshot;
    m_context.refreshDiagnosticsSnapshot();
}

// Published values and helpers.

void SessionViewModel::setRuntimeState(const SessionState& state) {
    m_runtimeState = state;
    Q_EMIT runtimeStateChanged();
}

void SessionViewModel::setAudioLevelSnapshot(const AudioLevelSnapshot& snapshot) {
    m_audioLevelSnapshot = snapshot;
    Q_EMIT audioLevelSnapshotChanged();
}

void SessionViewModel::setHotkeyMonitoringActive(bool active) {
    m_isHotkeyMonitoringActive = active;
    Q_EMIT isHotkeyMonitoringActiveChanged();
}

void SessionViewModel::setLastCaptureSummary(std::optional<QString> summary) {
    m_lastCaptureSummary = std::move(summary);
    Q_EMIT lastCaptureSummaryChanged();
}

void SessionViewModel::setFocusedTarget(std::optional<FocusedTargetSnapshot> target) {
    m_focusedTarget = std::move(target);
    Q_EMIT focusedTargetChanged();
}

DictationSettings SessionViewModel::dictationSettings() const {
    return m_settingsSource ? m_settingsSource() : DictationSettings{};
}

void SessionViewModel::recordEvent(DiagnosticsEventLevel level, const QString& code, const QString& message) {
    m_context.recordEvent(level, code, message);
}

}  // namespace quorvelle
