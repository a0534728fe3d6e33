// EmbeddedWhisperLocalTranscriber: checks that the chosen model is installed and on disk, then hands
// the clip to the embedded whisper runtime.
#pragma once

#include "Services/Transcription/EmbeddedWhisperRuntime.h"
#include "Services/Transcription/LocalModelManaging.h"
#include "Services/Transcription/LocalTranscribing.h"

#include <memory>

namespace quorvelle {

class EmbeddedWhisperLocalTranscriber final : public LocalTranscribing {
public:
    EmbeddedWhisperLocalTranscriber(std::shared_ptr<LocalModelManaging> modelManager,
                                    std::shared_ptr<EmbeddedWhisperRuntime> runtime);

    // Throws LocalTranscriptionRuntimeError::modelMissing when the model has no record or no file;
    // the runtime's and the decoder's errors pass through unchanged.
    QCoro::Task<QString> transcribe(CapturedAudioClip clip, LocalTranscriptionModelID modelID,
                                    std::optional<QString> languageCode, LocalWhisperAccelerationMode accelerationMode,
                                    std::optional<QString> prompt, std::stop_token stopToken = {}) override;

private:
    std::shared_ptr<LocalModelManaging> m_modelManager;
    std::shared_ptr<EmbeddedWhisperRuntime> m_runtime;
};

}  // namespace quorvelle
