// The two transcription contracts of the dictation session: a clip in, the transcript text out.
#pragma once

#include "Models/CapturedAudioClip.h"
#include "Models/TranscriptionPostProcessingMode.h"
#include "Processing/TranscriptionPrompt.h"

#include <QCoroTask>
#include <QString>

#include <optional>
#include <stop_token>

namespace quorvelle {

class Transcribing {
public:
    virtual ~Transcribing() = default;

    // languageCode: ISO 639-1, none for automatic detection. A stop request ends the work as soon as
    // the engine allows.
    virtual QCoro::Task<QString> transcribe(CapturedAudioClip clip, std::optional<QString> prompt,
                                            std::optional<QString> languageCode, std::stop_token stopToken = {}) = 0;
};

// A transcriber that also takes the whole prompt context of a dictation.
class ContextualTranscribing : public Transcribing {
public:
    virtual QCoro::Task<QString> transcribeWithContext(CapturedAudioClip clip, TranscriptionPromptContext context,
                                                       TranscriptionPostProcessingMode cleanupMode,
                                                       std::optional<QString> languageCode,
                                                       std::stop_token stopToken = {}) = 0;
};

}  // namespace quorvelle
