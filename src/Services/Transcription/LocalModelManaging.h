// LocalModelManaging: the downloaded whisper models and their registry, as the dictation session and
// the local transcriber see them.
#pragma once

#include "Models/LocalModelInstallationRecord.h"
#include "Models/LocalTranscriptionModelID.h"
#include "Services/Transcription/LocalRuntimeAvailability.h"

#include <QCoroTask>
#include <QMap>
#include <QString>

#include <functional>
#include <stop_token>

namespace quorvelle {

class LocalModelManaging {
public:
    // Bytes received so far and the total (-1 while unknown).
    using DownloadProgress = std::function<void(qint64 received, qint64 total)>;

    virtual ~LocalModelManaging() = default;

    virtual LocalRuntimeAvailability runtimeAvailability() const = 0;
    // Read anew from the registry file at every call; an unreadable registry reads as empty.
    virtual QMap<LocalTranscriptionModelID, LocalModelInstallationRecord> loadRecords() const = 0;
    // Fetches, verifies and installs the model, replacing an installed copy, and records it.
    // A stop request ends the transfer with CancellationError.
    virtual QCoro::Task<LocalModelInstallationRecord> download(LocalTranscriptionModelID modelID,
                                                               DownloadProgress progress = {},
                                                               std::stop_token stopToken = {}) = 0;
    // Removes the file and the record; a model that is not installed is no error.
    virtual void deleteModel(LocalTranscriptionModelID modelID) = 0;
    // The folder that holds the model files, under their catalogue file names.
    virtual QString modelsDirectoryPath() const = 0;
};

}  // namespace quorvelle
