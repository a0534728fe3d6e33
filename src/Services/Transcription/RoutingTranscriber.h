// RoutingTranscriber: the one transcriber of the dictation session. At every call it reads the
// engine setting and sends the clip to the cloud transcriber or to the on-device one.
#pragma once

#include "Services/Storage/SettingsStore.h"
#include "Services/Transcription/LocalTranscribing.h"
#include "Services/Transcription/Transcribing.h"

#include <memory>

namespace quorvelle {

class RoutingTranscriber final : public ContextualTranscribing {
public:
    RoutingTranscriber(std::shared_ptr<Transcribing> cloudTranscriber,
                       std::shared_ptr<LocalTranscribing> localTranscriber, SettingsStore settingsStore);

    QCoro::Task<QString> transcribe(CapturedAudioClip clip, std::optional<QString> prompt,
                                    std::optional<QString> languageCode, std::stop_token stopToken = {}) override;
    // On the device only the composed prompt is used; the cleanup mode and the hints as a list are not.
    QCoro::Task<QString> transcribeWithContext(CapturedAudioClip clip, TranscriptionPromptContext context,
                                               TranscriptionPostProcessingMode cleanupMode,
                                               std::optional<QString> languageCode,
                                               std::stop_token stopToken = {}) override;

private:
    struct LocalChoice {
        LocalTranscriptionModelID modelID;
        LocalWhisperAccelerationMode accelerationMode;
    };
    // None: the cloud. Read anew at every call.
    std::optional<LocalChoice> localChoice() const;

    std::shared_ptr<Transcribing> m_cloudTranscriber;
    std::shared_ptr<LocalTranscribing> m_localTranscriber;
    SettingsStore m_settingsStore;
};

}  // namespace quorvelle
