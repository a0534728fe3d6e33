// LocalTranscribing: transcription on this computer with a downloaded model.
#pragma once

#include "Models/CapturedAudioClip.h"
#include "Models/LocalTranscriptionModelID.h"
#include "Models/LocalWhisperAccelerationMode.h"

#include <QCoroTask>
#include <QString>

#include <optional>
#include <stop_token>

namespace quorvelle {

class LocalTranscribing {
public:
    virtual ~LocalTranscribing() = default;

    virtual QCoro::Task<QString> transcribe(CapturedAudioClip clip, LocalTranscriptionModelID modelID,
                                            std::optional<QString> languageCode,
                                            LocalWhisperAccelerationMode accelerationMode,
                                            std::optional<QString> prompt, std::stop_token stopToken = {}) = 0;
};

}  // namespace quorvelle
