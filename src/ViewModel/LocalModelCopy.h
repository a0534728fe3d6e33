#pragma once

#include "Models/AppStrings.h"
#include "Models/LocalModelStatus.h"
#include "Models/LocalTranscriptionModelID.h"
#include "Models/LocalWhisperAccelerationMode.h"
#include "Models/TranscriptionBackend.h"
#include "Services/Transcription/LocalRuntimeAvailability.h"

#include <QList>

#include <exception>
#include <optional>

namespace quorvelle {

// The values the local-mode texts are made from, taken at one moment; the texts are pure functions
// of it.
struct LocalModelCopy {
    AppStrings appStrings;
    TranscriptionBackend selectedTranscriptionBackend = TranscriptionBackend::cloud;
    LocalTranscriptionModelID selectedLocalModelID = LocalTranscriptionModelID::smallMultilingual;
    LocalWhisperAccelerationMode selectedLocalWhisperAccelerationMode = LocalWhisperAccelerationMode::cpu;
    LocalRuntimeAvailability localRuntimeAvailability = LocalRuntimeAvailability::ready();
    QList<LocalModelStatus> localModelStatuses;
    std::optional<LocalTranscriptionModelID> activeLocalModelDownloadID;
    std::optional<QString> lastLocalRuntimeError;

    // The reason when the engine cannot run, else "Ready (CPU)" or "Ready (GPU dene)".
    QString runtimeStatusLabel() const;
    // The guidance line of the local-mode panel.
    QString statusDetail() const;
    // Some row is installed.
    bool hasInstalledModel() const;
    std::optional<LocalModelStatus> selectedModelStatus() const;

    // A message and whether it changes (or applies) anything.
    struct Outcome {
        QString message;
        bool applies = false;
    };
    static Outcome accelerationModeMessage(const AppStrings& strings, LocalWhisperAccelerationMode mode,
                                           LocalWhisperAccelerationMode current);
    static Outcome modelSelectionMessage(const AppStrings& strings, LocalTranscriptionModelID id,
                                         LocalTranscriptionModelID previous, bool isInstalled);
    static QString downloadBlockedMessage(const AppStrings& strings, LocalTranscriptionModelID id);
    static QString downloadCancelledMessage(const AppStrings& strings, LocalTranscriptionModelID id);
    static QString modelDownloadedMessage(const AppStrings& strings, LocalTranscriptionModelID id);
    static QString modelDownloadFailedMessage(const AppStrings& strings, LocalTranscriptionModelID id);
    static QString modelDeletedMessage(const AppStrings& strings, LocalTranscriptionModelID id);
    static QString modelDeleteFailedMessage(const AppStrings& strings, LocalTranscriptionModelID id);
    static QString modelVerificationFailedMessage(const AppStrings& strings, const QString& modelTitle);
    // The row's text for a download that failed otherwise: why, and what to do next.
    static QString downloadFailureText(const AppStrings& strings, const std::exception_ptr& failure);
    // The banner's: the model that could not be downloaded, then why and what to do next when known.
    static QString modelDownloadFailedMessage(const AppStrings& strings, LocalTranscriptionModelID id,
                                              const std::exception_ptr& failure);
};

}  // namespace quorvelle
