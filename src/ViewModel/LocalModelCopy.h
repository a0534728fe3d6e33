#pragma once

#include "Models/AppStrings.h"
#include "Models/LocalModelStatus.h"
#include "Models/LocalTranscriptionModelID.h"
#include "Models/LocalWhisperAccelerationMode.h"
#include "Models/TranscriptionBackend.h"
#include "Services/Transcription/LocalRuntimeAvailability.h"

#include <QList>

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

    // The reason when the engine cannot run, else "Ready (CPU)" or "Ready (GPU/NE dene)".
    QString runtimeStatusLabel() const;
};

}  // namespace quorvelle
