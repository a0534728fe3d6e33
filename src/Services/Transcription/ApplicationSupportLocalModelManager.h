// ApplicationSupportLocalModelManager: the ggml model files of the on-device engine under the
// program's data folder, and the registry of what is installed (local-models.json).
//
// Layout: <base>/Models/<catalogue file name>, a download in progress as the same name + ".download",
// and <base>/local-models.json, a pretty-printed JSON array of installation records sorted by model
// id. The registry file is the only state: every operation reads it anew.
#pragma once

#include "Models/LocalTranscriptionModelDescriptor.h"
#include "Services/Transcription/LocalModelManaging.h"

#include <QDateTime>

#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace quorvelle {

class ConnectionReading;

class ApplicationSupportLocalModelManager final : public LocalModelManaging {
public:
    using DescriptorProvider = std::function<LocalTranscriptionModelDescriptor(LocalTranscriptionModelID)>;
    using Clock = std::function<QDateTime()>;

    // <application data folder>/LocalModels.
    static QString defaultBaseDirectory();

    // Creates the models folder (owner-only) and reconciles the registry with the files present,
    // writing it. A registry that does not decode is kept aside and rebuilt from the model files
    // whose SHA-1 is the catalogue's.
    ApplicationSupportLocalModelManager(QNetworkAccessManager* session, std::shared_ptr<LocalRuntimeInspecting> runtime,
                                        DescriptorProvider descriptorProvider,
                                        std::optional<QString> baseDirectory = std::nullopt,
                                        Clock now = &QDateTime::currentDateTimeUtc,
                                        std::shared_ptr<const ConnectionReading> connections = nullptr);

    LocalRuntimeAvailability runtimeAvailability() const override;
    QMap<LocalTranscriptionModelID, LocalModelInstallationRecord> loadRecords() const override;
    // Throws QuorvelleError::networkUnavailable for an error status, WebRequestError for a failed
    // transfer, QuorvelleError::unexpectedRuntimeFailure for an empty body,
    // LocalModelManagerError::integrityCheckFailed for a checksum that is not the catalogue's, and
    // LocalModelFileError when the file system refuses. Any failure leaves the installed model, if
    // any, and the registry as they were, and no staging file behind; only a registry that cannot
    // be written after the move leaves the new model file unrecorded.
    QCoro::Task<LocalModelInstallationRecord> download(LocalTranscriptionModelID modelID,
                                                       DownloadProgress progress = {},
                                                       std::stop_token stopToken = {}) override;
    // Throws LocalModelFileError when the file cannot be removed (the registry then stays as it was)
    // or the registry cannot be written.
    void deleteModel(LocalTranscriptionModelID modelID) override;
    QString modelsDirectoryPath() const override { return m_modelsDirectory; }

    QString registryFilePath() const { return m_registryFile; }

private:
    using Records = QMap<LocalTranscriptionModelID, LocalModelInstallationRecord>;

    // The registry's records; nothing when the file is there but does not decode.
    std::optional<Records> readRegistry() const;
    // The records to change and write back: a damaged registry is set aside first and rebuilt from
    // the model files that match the catalogue. Nothing when it cannot be set aside.
    std::optional<Records> recordsForUpdate() const;
    QString modelFilePath(LocalTranscriptionModelID modelID) const;
    void ensureDirectory() const;
    // Returns the reason on failure.
    std::optional<QString> saveRecords(const Records& records) const;
    void upsertRecord(const LocalModelInstallationRecord& record) const;
    void reconcileRecords() const;

    QNetworkAccessManager* m_session;
    std::shared_ptr<const ConnectionReading> m_connections;
    std::shared_ptr<LocalRuntimeInspecting> m_runtime;
    DescriptorProvider m_descriptorProvider;
    Clock m_now;
    QString m_registryFile;
    QString m_modelsDirectory;
};

}  // namespace quorvelle
