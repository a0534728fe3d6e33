#include "ViewModel/LocalModelsViewModel.h"

#include "Models/LocalTranscriptionModelDescriptor.h"
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
      m_localModelManager(services.localModelManager) {
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
        storedString(settings, SettingsKeys::selectedLocalWhisperAccelerationMode) == QLatin1String("accelerated");
    publish(this, m_selectedLocalWhisperAccelerationMode,
            accelerated ? LocalWhisperAccelerationMode::accelerated : LocalWhisperAccelerationMode::cpu,
            &L::selectedLocalWhisperAccelerationModeChanged);
}

}  // namespace quorvelle
