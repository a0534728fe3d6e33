#include "ViewModel/LocalModelsViewModel.h"

#include "Models/LocalTranscriptionModelDescriptor.h"
#include "Services/Transcription/LocalModelManagerError.h"
#include "ViewModel/Published.h"

namespace quorvelle {

namespace {

QString storedString(const SettingsStore& settings, const char* key) {
    return settings.userDefaults()->string(QString::fromLatin1(key)).value_or(QString());
}

}  // namespace

LocalModelsViewModel::LocalModelsViewModel(const AppBootstrap& services, ViewModelContext& context, QObject* parent)
    : QObject(parent),
      m_context(context),
      m_settingsStore(services.settingsStore),
      m_localModelManager(services.localModelManager),
      m_localModelStatusesModel(new RecordList<LocalModelStatus>(this)) {
    connect(this, &LocalModelsViewModel::localModelStatusesChanged, this,
            [this] { m_localModelStatusesModel->setRecords(m_localModelStatuses); });
    const QSignalBlocker quiet(this);
    reloadSelections();
    m_localRuntimeAvailability = m_localModelManager->runtimeAvailability();
}

LocalModelsViewModel::~LocalModelsViewModel() {
    m_activeLocalModelDownloadTask.cancel();
}

bool LocalModelsViewModel::hasInstalledLocalModel(LocalTranscriptionModelID modelID) const {
    return m_localModelManager->loadRecords().contains(modelID);
}

bool LocalModelsViewModel::isLocalModeReady() const {
    return m_localRuntimeAvailability.isReady() && hasInstalledLocalModel(m_selectedLocalModelID);
}

void LocalModelsViewModel::refreshLocalModelStatuses() {
    publish(this, m_localRuntimeAvailability, m_localModelManager->runtimeAvailability(),
            &LocalModelsViewModel::localRuntimeAvailabilityChanged);
    const auto records = m_localModelManager->loadRecords();
    QList<LocalModelStatus> statuses;
    for (const LocalTranscriptionModelID id : selectableLocalTranscriptionModelIDs()) {
        LocalModelStatus status;
        status.id = id;
        status.descriptor = localModelDescriptor(id);
        status.isSelected = id == m_selectedLocalModelID;
        if (m_activeLocalModelDownloadID == id)
            status.installState = LocalModelInstallState::downloading();
        else if (records.contains(id))
            status.installState = LocalModelInstallState::installed(records.value(id));
        else if (m_localModelFailures.contains(id))
            status.installState = LocalModelInstallState::failed(m_localModelFailures.value(id));
        statuses.append(status);
    }
    publish(this, m_localModelStatuses, std::move(statuses), &LocalModelsViewModel::localModelStatusesChanged);
}

LocalModelCopy LocalModelsViewModel::localModelCopy() const {
    return LocalModelCopy{m_context.strings(),          m_selectedTranscriptionBackend,
                          m_selectedLocalModelID,       m_selectedLocalWhisperAccelerationMode,
                          m_localRuntimeAvailability,   m_localModelStatuses,
                          m_activeLocalModelDownloadID, m_lastLocalRuntimeError};
}

void LocalModelsViewModel::reloadSelections() {
    const SettingsStore& settings = *m_settingsStore;
    using L = LocalModelsViewModel;
    const bool local = storedString(settings, SettingsKeys::selectedTranscriptionBackend) == QLatin1String("local");
    publish(this, m_selectedTranscriptionBackend, local ? TranscriptionBackend::local : TranscriptionBackend::cloud,
            &L::selectedTranscriptionBackendChanged);
    publish(this, m_selectedLocalModelID, settings.selectedLocalModelID(), &L::selectedLocalModelIDChanged);
    const bool accelerated =
        isAccelerationAvailable() &&
        storedString(settings, SettingsKeys::selectedLocalWhisperAccelerationMode) == QLatin1String("accelerated");
    publish(this, m_selectedLocalWhisperAccelerationMode,
            accelerated ? LocalWhisperAccelerationMode::accelerated : LocalWhisperAccelerationMode::cpu,
            &L::selectedLocalWhisperAccelerationModeChanged);
}

}  // namespace quorvelle

namespace quorvelle {

void LocalModelsViewModel::clearLocalRunDetails() {
    using L = LocalModelsViewModel;
    publish(this, m_lastLocalRuntimeError, std::nullopt, &L::lastLocalRuntimeErrorChanged);
    publish(this, m_lastLocalSegmentCount, std::nullopt, &L::lastLocalSegmentCountChanged);
    publish(this, m_lastLocalNoSpeechProbability, std::nullopt, &L::lastLocalNoSpeechProbabilityChanged);
    publish(this, m_lastLocalDetectedLanguage, std::nullopt, &L::lastLocalDetectedLanguageChanged);
}

void LocalModelsViewModel::applyLocalRunReport(const LocalRunReport& report) {
    using L = LocalModelsViewModel;
    if (report.runtimeError)
        publish(this, m_lastLocalRuntimeError, *report.runtimeError, &L::lastLocalRuntimeErrorChanged);
    if (!report.diagnostics) return;
    const std::optional<LocalTranscriptionDiagnostics>& diagnostics = *report.diagnostics;
    publish(this, m_lastLocalSegmentCount, diagnostics ? std::optional(diagnostics->segmentCount) : std::nullopt,
            &L::lastLocalSegmentCountChanged);
    publish(this, m_lastLocalNoSpeechProbability,
            diagnostics ? diagnostics->maxNoSpeechProbability : std::optional<double>(),
            &L::lastLocalNoSpeechProbabilityChanged);
    publish(this, m_lastLocalDetectedLanguage,
            diagnostics ? diagnostics->detectedLanguageLabel : std::optional<QString>(),
            &L::lastLocalDetectedLanguageChanged);
}

void LocalModelsViewModel::storeBackend(TranscriptionBackend backend) {
    m_settingsStore->userDefaults()->setString(
        QString::fromLatin1(SettingsKeys::selectedTranscriptionBackend),
        backend == TranscriptionBackend::local ? QStringLiteral("local") : QStringLiteral("cloud"));
    publish(this, m_selectedTranscriptionBackend, backend, &LocalModelsViewModel::selectedTranscriptionBackendChanged);
}

void LocalModelsViewModel::selectTranscriptionBackend(TranscriptionBackend backend) {
    if (backend == m_selectedTranscriptionBackend) {
        m_context.setInlineMessage(
            m_context.localized(u"Transcription mode is already active.", u"Transcription modu zaten aktif."));
        return;
    }
    const bool isLocal = backend == TranscriptionBackend::local;
    if (isLocal && !isLocalModeReady()) {
        m_context.setInlineMessage(localModelCopy().hasInstalledModel()
                                       ? m_context.localized(u"Embedded runtime is not ready for Local mode.",
                                                             u"Local mode için embedded runtime hazır değil.")
                                       : m_context.localized(u"Download a model before using Local mode.",
                                                             u"Local mode için önce bir model indirin."));
        m_context.refreshDiagnosticsSnapshot();
        return;
    }
    const QString message = isLocal ? m_context.localized(u"Transcription mode updated to Local.",
                                                          u"Transcription modu Local olarak güncellendi.")
                                    : m_context.localized(u"Transcription mode updated to Cloud.",
                                                          u"Transcription modu Cloud olarak güncellendi.");
    m_context.setInlineMessage(message);
    if (!isLocal) clearLocalRunDetails();
    storeBackend(backend);
    m_context.reloadSettings();
    m_context.setInlineMessage(message);
}

void LocalModelsViewModel::openLocalModeSetup() {
    storeBackend(TranscriptionBackend::local);
    m_context.reloadSettings();
    m_context.setInlineMessage(
        m_context.localized(u"Local mode setup opened. Download a model to continue.",
                            u"Local mode kurulumu açıldı. Model indirerek devam edebilirsiniz."));
}

void LocalModelsViewModel::selectLocalModel(LocalTranscriptionModelID modelID) {
    const auto outcome = LocalModelCopy::modelSelectionMessage(m_context.strings(), modelID, m_selectedLocalModelID,
                                                               hasInstalledLocalModel(modelID));
    m_context.setInlineMessage(outcome.message);
    if (!outcome.applies) return;
    m_settingsStore->setSelectedLocalModelID(modelID);
    publish(this, m_selectedLocalModelID, modelID, &LocalModelsViewModel::selectedLocalModelIDChanged);
    refreshLocalModelStatuses();
    clearLocalRunDetails();
    m_context.reloadSettings();
}

void LocalModelsViewModel::downloadLocalModel(LocalTranscriptionModelID modelID) {
    if (m_activeLocalModelDownloadID) {
        if (*m_activeLocalModelDownloadID == modelID) return;
        m_context.setInlineMessage(
            LocalModelCopy::downloadBlockedMessage(m_context.strings(), *m_activeLocalModelDownloadID));
        m_context.refreshDiagnosticsSnapshot();
        return;
    }
    m_localModelFailures.remove(modelID);
    clearLocalRunDetails();
    m_activeLocalModelDownloadID = modelID;
    refreshLocalModelStatuses();
    m_activeLocalModelDownloadTask =
        m_context.tasks().start([this, modelID](TaskGuard guard) { return runDownload(std::move(guard), modelID); });
}

QCoro::Task<void> LocalModelsViewModel::runDownload(TaskGuard guard, LocalTranscriptionModelID modelID) {
    const std::shared_ptr<LocalModelManaging> manager = m_localModelManager;
    std::exception_ptr failure;
    try {
        co_await manager->download(modelID, {}, guard.stopToken);
    } catch (...) {
        failure = std::current_exception();
    }
    // Cancelled by the user (whatever error the transfer reported) or the view model is gone: the
    // cancel already reset the bookkeeping, which may belong to a newer download by now.
    if (!guard) co_return;
    const AppStrings strings = m_context.strings();
    if (!failure) {
        // Only this model's failure is over: another model's (a file that could not be verified,
        // say) still tells that model's story.
        m_localModelFailures.remove(modelID);
        m_context.setInlineMessage(LocalModelCopy::modelDownloadedMessage(strings, modelID));
        if (m_selectedLocalModelID == modelID) storeBackend(TranscriptionBackend::local);
    } else {
        try {
            std::rethrow_exception(failure);
        } catch (const LocalModelManagerError& error) {
            const QString message = LocalModelCopy::modelVerificationFailedMessage(strings, error.modelTitle());
            m_localModelFailures.insert(modelID, message);
            m_context.setInlineMessage(message);
        } catch (...) {
            m_localModelFailures.insert(modelID, LocalModelCopy::downloadFailureText(strings, failure));
            m_context.setInlineMessage(LocalModelCopy::modelDownloadFailedMessage(strings, modelID, failure));
        }
    }
    m_activeLocalModelDownloadID.reset();
    m_activeLocalModelDownloadTask = TaskHandle();
    refreshLocalModelStatuses();
    m_context.reloadSettings();
}

void LocalModelsViewModel::cancelLocalModelDownload(LocalTranscriptionModelID modelID) {
    if (m_activeLocalModelDownloadID != modelID) return;
    m_activeLocalModelDownloadTask.cancel();
    m_activeLocalModelDownloadID.reset();
    m_context.setInlineMessage(LocalModelCopy::downloadCancelledMessage(m_context.strings(), modelID));
    refreshLocalModelStatuses();
}

void LocalModelsViewModel::deleteLocalModel(LocalTranscriptionModelID modelID) {
    try {
        m_localModelManager->deleteModel(modelID);
    } catch (...) {
        m_context.setInlineMessage(LocalModelCopy::modelDeleteFailedMessage(m_context.strings(), modelID));
        refreshLocalModelStatuses();
        return;
    }
    m_localModelFailures.remove(modelID);
    clearLocalRunDetails();
    m_context.setInlineMessage(LocalModelCopy::modelDeletedMessage(m_context.strings(), modelID));
    m_context.reloadSettings();
}

void LocalModelsViewModel::setLocalWhisperAccelerationMode(LocalWhisperAccelerationMode mode) {
    const auto outcome =
        LocalModelCopy::accelerationModeMessage(m_context.strings(), mode, m_selectedLocalWhisperAccelerationMode);
    m_context.setInlineMessage(outcome.message);
    if (!outcome.applies) return;
    m_settingsStore->userDefaults()->setString(
        QString::fromLatin1(SettingsKeys::selectedLocalWhisperAccelerationMode),
        mode == LocalWhisperAccelerationMode::accelerated ? QStringLiteral("accelerated") : QStringLiteral("cpu"));
    publish(this, m_selectedLocalWhisperAccelerationMode, mode,
            &LocalModelsViewModel::selectedLocalWhisperAccelerationModeChanged);
    clearLocalRunDetails();
    m_context.refreshDiagnosticsSnapshot();
}

void LocalModelsViewModel::selectTranscriptionBackend(const QString& name) {
    withCaseNamed<TranscriptionBackend>(name,
                                        [this](TranscriptionBackend value) { selectTranscriptionBackend(value); });
}

void LocalModelsViewModel::selectLocalModel(const QString& name) {
    withCaseNamed<LocalTranscriptionModelID>(name,
                                             [this](LocalTranscriptionModelID value) { selectLocalModel(value); });
}

void LocalModelsViewModel::downloadLocalModel(const QString& name) {
    withCaseNamed<LocalTranscriptionModelID>(name,
                                             [this](LocalTranscriptionModelID value) { downloadLocalModel(value); });
}

void LocalModelsViewModel::cancelLocalModelDownload(const QString& name) {
    withCaseNamed<LocalTranscriptionModelID>(
        name, [this](LocalTranscriptionModelID value) { cancelLocalModelDownload(value); });
}

void LocalModelsViewModel::deleteLocalModel(const QString& name) {
    withCaseNamed<LocalTranscriptionModelID>(name,
                                             [this](LocalTranscriptionModelID value) { deleteLocalModel(value); });
}

void LocalModelsViewModel::setLocalWhisperAccelerationMode(const QString& name) {
    withCaseNamed<LocalWhisperAccelerationMode>(
        name, [this](LocalWhisperAccelerationMode value) { setLocalWhisperAccelerationMode(value); });
}

}  // namespace quorvelle
