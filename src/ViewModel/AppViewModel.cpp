#include "ViewModel/AppViewModel.h"

#include "ViewModel/DiagnosticsSnapshotBuilder.h"
#include "ViewModel/MicrophoneSelectionDecision.h"

namespace quorvelle {

AppViewModel::AppViewModel(const AppBootstrap& bootstrap, ViewModelEnvironment environment, QObject* parent)
    : QObject(parent),
      m_diagnosticsStore(bootstrap.diagnosticsStore),
      m_audioDeviceService(bootstrap.audioDeviceService),
      m_context(new ViewModelContext(std::move(environment), bootstrap.diagnosticsStore, this)),
      m_session(new SessionViewModel(bootstrap, *m_context, this)),
      m_preferences(new PreferencesViewModel(bootstrap, *m_context, this)),
      m_dictionary(new DictionaryViewModel(bootstrap, *m_context, this)),
      m_permissions(new PermissionsViewModel(bootstrap, *m_context, this)),
      m_account(new AccountViewModel(bootstrap, *m_context, this)),
      m_localModels(new LocalModelsViewModel(bootstrap, *m_context, this)),
      m_history(new HistoryViewModel(bootstrap, *m_context, this)),
      m_diagnostics(new DiagnosticsViewModel(this)) {
    connect(m_context, &ViewModelContext::inlineMessageChanged, this, &AppViewModel::inlineMessageChanged);
    connect(m_context, &ViewModelContext::stringsChanged, this, &AppViewModel::stringsChanged);
    connect(m_history, &HistoryViewModel::historyCleared, m_session, &SessionViewModel::forgetLastDelivery);
    connect(m_session, &SessionViewModel::transcriptDelivered, m_history, &HistoryViewModel::appendTranscriptHistory);
    connect(m_session, &SessionViewModel::transcriptHeld, m_history, &HistoryViewModel::holdTranscriptHistory);
    connect(m_session, &SessionViewModel::heldTranscriptWithdrawn, m_history,
            &HistoryViewModel::withdrawHeldTranscriptHistory);
    connect(m_session, &SessionViewModel::localRunReported, m_localModels, &LocalModelsViewModel::applyLocalRunReport);
    m_session->setDictationSettingsSource(
        [this] { return collectDictationSettings(*m_preferences, *m_dictionary, *m_permissions, *m_localModels); });
    m_context->setDiagnosticsRefresher([this] { refreshDiagnosticsSnapshot(); });
    connect(m_permissions, &PermissionsViewModel::settingsReloadRequested, this, &AppViewModel::reloadSettings);
    connect(m_preferences, &PreferencesViewModel::hotkeyRestartRequested, this, &AppViewModel::restartHotkeyMonitoring);
    connect(m_preferences, &PreferencesViewModel::lastDictationAutoReplaceSwitched, m_session,
            &SessionViewModel::forgetLastDirectInsertion);
    connect(m_preferences, &PreferencesViewModel::appLanguageSwitched, m_account,
            &AccountViewModel::reloadLoadedReleaseNotes);
    connect(m_diagnostics, &DiagnosticsViewModel::diagnosticsSnapshotChanged, this,
            &AppViewModel::microphoneSelectionChanged);
    connect(m_preferences, &PreferencesViewModel::selectedMicrophonePreferenceChanged, this,
            &AppViewModel::microphoneSelectionChanged);
    m_context->setSettingsReloader([this] { reloadSettings(); });

    m_session->applyPreferredInputDevice(
        m_preferences->selectedMicrophonePreference().has_value()
            ? std::optional<QString>(m_preferences->selectedMicrophonePreference()->uid)
            : std::nullopt);
    reloadSettings();
    refreshDiagnosticsSnapshot();
}

AppViewModel::~AppViewModel() {
    // Jobs stop first; then the parts go while the context they refer to still exists.
    m_context->tasks().cancelAll();
    m_context->setDiagnosticsRefresher({});
    m_context->setSettingsReloader({});
    m_session->setDictationSettingsSource({});
    delete m_diagnostics;
    delete m_history;
    delete m_localModels;
    delete m_account;
    delete m_permissions;
    delete m_dictionary;
    delete m_preferences;
    delete m_session;
    delete m_context;
}

void AppViewModel::reloadSettings() {
    const bool hasStoredSession = m_account->reloadAccountState();
    m_preferences->reloadStartAtLogin();
    m_preferences->reloadDictationSettings();
    m_dictionary->reloadLists();
    m_dictionary->reloadReplacementSwitch();
    m_localModels->reloadSelections();
    m_localModels->refreshLocalModelStatuses();
    m_preferences->reloadAppearance();
    const auto& preference = m_preferences->selectedMicrophonePreference();
    m_session->applyPreferredInputDevice(preference ? std::optional<QString>(preference->uid) : std::nullopt);
    m_permissions->reloadOnboardingStatus(hasStoredSession, m_localModels->selectedTranscriptionBackend(),
                                          m_localModels->isLocalModeReady());
    m_history->reloadHistory();
    m_session->applyRuntimeReadiness(recordingReadinessPolicy().isRuntimeReady());
    refreshDiagnosticsSnapshot();
}

AccountCopy AppViewModel::accountCopy() const {
    return m_account->accountCopy(m_localModels->selectedTranscriptionBackend());
}

RecordingReadinessPolicy AppViewModel::recordingReadinessPolicy() const {
    RecordingReadinessPolicy policy;
    policy.appStrings = strings();
    policy.onboardingStatus = m_permissions->onboardingStatus();
    policy.hasBackendAuthSessionManager = m_account->hasBackendAuthSessionManager();
    policy.requiresBackendAccountSignIn = policy.hasBackendAuthSessionManager && !policy.onboardingStatus.hasAPIKey;
    policy.selectedTranscriptionBackend = m_localModels->selectedTranscriptionBackend();
    policy.localRuntimeAvailability = m_localModels->localRuntimeAvailability();
    policy.hasSelectedLocalModelInstalled =
        m_localModels->hasInstalledLocalModel(m_localModels->selectedLocalModelID());
    return policy;
}

void AppViewModel::refreshDiagnosticsSnapshot() {
    DiagnosticsSnapshotBuilder builder;
    builder.events = m_diagnosticsStore->events();
    builder.audioDevices = inputDevices(false);
    builder.inputSelection =
        ResolvedAudioInputDeviceSelection::resolve(m_preferences->selectedMicrophonePreference(), builder.audioDevices);
    builder.onboardingStatus = m_permissions->onboardingStatus();
    builder.recordingReadinessSummary = recordingReadinessPolicy().summary();
    builder.selectedTranscriptionBackend = m_localModels->selectedTranscriptionBackend();
    builder.selectedTranscriptionLanguage = m_preferences->selectedTranscriptionLanguage();
    builder.localRuntimeStatusLabel = m_localModels->localModelCopy().runtimeStatusLabel();
    builder.selectedLocalModelID = m_localModels->selectedLocalModelID();
    builder.lastLocalRuntimeError = m_localModels->lastLocalRuntimeError();
    builder.lastLocalSegmentCount = m_localModels->lastLocalSegmentCount();
    builder.lastLocalNoSpeechProbability = m_localModels->lastLocalNoSpeechProbability();
    builder.lastLocalDetectedLanguage = m_localModels->lastLocalDetectedLanguage();
    builder.isHotkeyMonitoringActive = m_session->isHotkeyMonitoringActive();
    builder.runtimeState = m_session->runtimeState();
    builder.focusedTarget = m_session->focusedTarget();
    builder.lastTargetIdentityScore = m_session->lastTargetIdentityScore();
    builder.lastDeliveryValidationOutcome = m_session->lastDeliveryValidationOutcome();
    builder.lastInsertionStrategy = m_session->lastInsertionStrategy();
    builder.lastInsertionOutcome = m_session->lastInsertionOutcome();
    builder.lastInsertionFailureReason = m_session->lastInsertionFailureReason();
    builder.transcriptionTelemetry = m_session->transcriptionTelemetry();
    builder.audioCaptureDebugSnapshot = m_session->audioCaptureDebugSnapshot();
    m_diagnostics->publishSnapshot(builder.build());
}

void AppViewModel::restartHotkeyMonitoring() {
    m_session->stopHotkeyMonitoring();
    if (recordingReadinessPolicy().isRuntimeReady()) m_session->startHotkeyMonitoring();
}

const QList<AudioDeviceInfo>& AppViewModel::inputDevices(bool fresh) {
    constexpr qint64 kReuseMilliseconds = 10'000;
    const QDateTime now = m_context->now();
    const bool recent = m_inputDevicesReadAt && m_inputDevicesReadAt->msecsTo(now) >= 0 &&
                        m_inputDevicesReadAt->msecsTo(now) < kReuseMilliseconds;
    if (fresh || !recent) {
        m_inputDevices = m_audioDeviceService->inputDevices();
        m_inputDevicesReadAt = now;
    }
    return m_inputDevices;
}

void AppViewModel::refreshInputDevices(bool showsMessage) {
    inputDevices(true);
    const auto& preference = m_preferences->selectedMicrophonePreference();
    m_session->applyPreferredInputDevice(preference ? std::optional<QString>(preference->uid) : std::nullopt);
    refreshDiagnosticsSnapshot();
    if (!showsMessage) return;
    m_context->setInlineMessage(MicrophoneSelectionDecision::forRefresh(
        !m_diagnostics->diagnosticsSnapshot().audioDevices.isEmpty(), languageCode()));
}

ResolvedAudioInputDeviceSelection AppViewModel::resolvedMicrophoneSelection() const {
    return ResolvedAudioInputDeviceSelection::resolve(m_preferences->selectedMicrophonePreference(),
                                                      m_diagnostics->diagnosticsSnapshot().audioDevices);
}

QString AppViewModel::microphoneSelectionMessage() const {
    return microphoneStatusMessage(resolvedMicrophoneSelection(), languageCode(),
                                   m_preferences->selectedMicrophonePreference());
}

std::optional<QString> AppViewModel::selectedMicrophoneLabel() const {
    return resolvedMicrophoneSelection().disconnectedPreferenceLabel();
}

}  // namespace quorvelle
