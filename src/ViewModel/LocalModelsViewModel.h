#pragma once

#include "ViewModel/DictationSettings.h"

#include "Models/LocalModelStatus.h"
#include "Models/LocalTranscriptionModelID.h"
#include "Models/LocalWhisperAccelerationMode.h"
#include "Models/TranscriptionBackend.h"
#include "Support/TaskHandle.h"
#include "Support/TaskScope.h"
#include "ViewModel/AppBootstrap.h"
#include "ViewModel/LocalModelCopy.h"
#include "ViewModel/RecordListModel.h"
#include "ViewModel/ViewModelContext.h"

#include <QList>
#include <QMap>
#include <QObject>

#include <memory>
#include <optional>

namespace quorvelle {

// The choice between the cloud and the on-device engine, the on-device models and their runs.
class LocalModelsViewModel : public QObject {
    Q_OBJECT

    // Cloud or local.
    Q_PROPERTY(QString selectedTranscriptionBackend READ selectedTranscriptionBackendName NOTIFY
                   selectedTranscriptionBackendChanged)
    // The local model in use.
    Q_PROPERTY(QString selectedLocalModelID READ selectedLocalModelIDName NOTIFY selectedLocalModelIDChanged)
    // CPU or accelerated local decoding.
    Q_PROPERTY(QString selectedLocalWhisperAccelerationMode READ selectedLocalWhisperAccelerationModeName NOTIFY
                   selectedLocalWhisperAccelerationModeChanged)
    // Whether the on-device engine can run, with the reason when not.
    Q_PROPERTY(quorvelle::LocalRuntimeAvailability localRuntimeAvailability READ localRuntimeAvailability NOTIFY
                   localRuntimeAvailabilityChanged)
    // One row per selectable model with its install state.
    Q_PROPERTY(quorvelle::RecordListModel* localModelStatuses READ localModelStatusesModel CONSTANT)
    // Details of the last on-device run; empty or absent when none.
    Q_PROPERTY(QVariant lastLocalRuntimeError READ lastLocalRuntimeErrorValue NOTIFY lastLocalRuntimeErrorChanged)
    Q_PROPERTY(QVariant lastLocalSegmentCount READ lastLocalSegmentCountValue NOTIFY lastLocalSegmentCountChanged)
    Q_PROPERTY(QVariant lastLocalNoSpeechProbability READ lastLocalNoSpeechProbabilityValue NOTIFY
                   lastLocalNoSpeechProbabilityChanged)
    Q_PROPERTY(
        QVariant lastLocalDetectedLanguage READ lastLocalDetectedLanguageValue NOTIFY lastLocalDetectedLanguageChanged)

public:
    LocalModelsViewModel(const AppBootstrap& services, ViewModelContext& context, QObject* parent = nullptr);
    ~LocalModelsViewModel() override;

    TranscriptionBackend selectedTranscriptionBackend() const { return m_selectedTranscriptionBackend; }
    LocalTranscriptionModelID selectedLocalModelID() const { return m_selectedLocalModelID; }
    // Whether this build's engine can run on a GPU: it cannot, it has no GPU back end. A GPU choice
    // stored by another build is then read as the CPU it runs on.
    static constexpr bool isAccelerationAvailable() { return false; }
    LocalWhisperAccelerationMode selectedLocalWhisperAccelerationMode() const {
        return m_selectedLocalWhisperAccelerationMode;
    }
    const LocalRuntimeAvailability& localRuntimeAvailability() const { return m_localRuntimeAvailability; }
    const QList<LocalModelStatus>& localModelStatuses() const { return m_localModelStatuses; }
    const std::optional<QString>& lastLocalRuntimeError() const { return m_lastLocalRuntimeError; }
    QString lastLocalRuntimeErrorText() const { return m_lastLocalRuntimeError.value_or(QString()); }
    std::optional<int> lastLocalSegmentCount() const { return m_lastLocalSegmentCount; }
    std::optional<double> lastLocalNoSpeechProbability() const { return m_lastLocalNoSpeechProbability; }
    const std::optional<QString>& lastLocalDetectedLanguage() const { return m_lastLocalDetectedLanguage; }
    QString lastLocalDetectedLanguageText() const { return m_lastLocalDetectedLanguage.value_or(QString()); }

    // The views' face: cases by their stored names, absent values as null, the rows as a model.
    QString selectedTranscriptionBackendName() const { return rawValue(m_selectedTranscriptionBackend); }
    QString selectedLocalModelIDName() const { return rawValue(m_selectedLocalModelID); }
    QString selectedLocalWhisperAccelerationModeName() const {
        return rawValue(m_selectedLocalWhisperAccelerationMode);
    }
    QVariant lastLocalRuntimeErrorValue() const { return optionalValue(m_lastLocalRuntimeError); }
    QVariant lastLocalSegmentCountValue() const { return optionalValue(m_lastLocalSegmentCount); }
    QVariant lastLocalNoSpeechProbabilityValue() const { return optionalValue(m_lastLocalNoSpeechProbability); }
    QVariant lastLocalDetectedLanguageValue() const { return optionalValue(m_lastLocalDetectedLanguage); }
    RecordListModel* localModelStatusesModel() const { return m_localModelStatusesModel; }

    // The operations as the views call them, with a case by its stored name; any other name
    // changes nothing.
    Q_INVOKABLE void selectTranscriptionBackend(const QString& name);
    Q_INVOKABLE void selectLocalModel(const QString& name);
    Q_INVOKABLE void downloadLocalModel(const QString& name);
    Q_INVOKABLE void cancelLocalModelDownload(const QString& name);
    Q_INVOKABLE void deleteLocalModel(const QString& name);
    Q_INVOKABLE void setLocalWhisperAccelerationMode(const QString& name);

    // The manager's registry holds a record for the model (read anew).
    bool hasInstalledLocalModel(LocalTranscriptionModelID modelID) const;
    // The runtime is ready and the selected model is installed.
    bool isLocalModeReady() const;
    // Recomputes the runtime availability and the status rows.
    void refreshLocalModelStatuses();
    // The values the local-mode texts are made from.
    LocalModelCopy localModelCopy() const;

    // The backend, model and acceleration choices as stored; each assignment notifies.
    void reloadSelections();

    // Switches the engine; local only when it is ready.
    void selectTranscriptionBackend(quorvelle::TranscriptionBackend backend);
    // Chooses local mode before any model exists.
    Q_INVOKABLE void openLocalModeSetup();
    void selectLocalModel(quorvelle::LocalTranscriptionModelID modelID);
    // Starts the one download; refused while another model downloads.
    void downloadLocalModel(quorvelle::LocalTranscriptionModelID modelID);
    // Cancels the running download when it is this model's.
    void cancelLocalModelDownload(quorvelle::LocalTranscriptionModelID modelID);
    void deleteLocalModel(quorvelle::LocalTranscriptionModelID modelID);
    void setLocalWhisperAccelerationMode(quorvelle::LocalWhisperAccelerationMode mode);
    // Forgets the details of the last on-device run.
    void clearLocalRunDetails();
    // What an on-device run left: each detail the report names is replaced, the others stay.
    void applyLocalRunReport(const LocalRunReport& report);

Q_SIGNALS:
    void selectedTranscriptionBackendChanged();
    void selectedLocalModelIDChanged();
    void selectedLocalWhisperAccelerationModeChanged();
    void localRuntimeAvailabilityChanged();
    void localModelStatusesChanged();
    void lastLocalRuntimeErrorChanged();
    void lastLocalSegmentCountChanged();
    void lastLocalNoSpeechProbabilityChanged();
    void lastLocalDetectedLanguageChanged();

private:
    QCoro::Task<void> runDownload(TaskGuard guard, LocalTranscriptionModelID modelID);
    void storeBackend(TranscriptionBackend backend);

    ViewModelContext& m_context;
    std::shared_ptr<SettingsStore> m_settingsStore;
    std::shared_ptr<LocalModelManaging> m_localModelManager;

    TranscriptionBackend m_selectedTranscriptionBackend = TranscriptionBackend::cloud;
    LocalTranscriptionModelID m_selectedLocalModelID = LocalTranscriptionModelID::smallMultilingual;
    LocalWhisperAccelerationMode m_selectedLocalWhisperAccelerationMode = LocalWhisperAccelerationMode::cpu;
    LocalRuntimeAvailability m_localRuntimeAvailability = LocalRuntimeAvailability::ready();
    QList<LocalModelStatus> m_localModelStatuses;
    std::optional<QString> m_lastLocalRuntimeError;
    std::optional<int> m_lastLocalSegmentCount;
    std::optional<double> m_lastLocalNoSpeechProbability;
    std::optional<QString> m_lastLocalDetectedLanguage;

    std::optional<LocalTranscriptionModelID> m_activeLocalModelDownloadID;
    TaskHandle m_activeLocalModelDownloadTask;
    // The last failure text per model; in memory only.
    QMap<LocalTranscriptionModelID, QString> m_localModelFailures;
    RecordList<LocalModelStatus>* m_localModelStatusesModel;
};

}  // namespace quorvelle
