// WhisperCppEngine: the WhisperEngine calls made on the whisper.cpp library itself.
#pragma once

#include "Services/Transcription/WhisperEngine.h"

namespace quorvelle {

class WhisperCppEngine final : public WhisperEngine {
public:
    QString printSystemInfo() override;
    WhisperContextParams contextDefaultParams() override;
    WhisperContext* initFromFileWithParams(const QString& path, const WhisperContextParams& params) override;
    void free(WhisperContext* context) override;
    WhisperFullParams fullDefaultParams(WhisperSamplingStrategy strategy) override;
    int full(WhisperContext* context, const WhisperFullParams& params, const float* samples, int sampleCount,
             std::stop_token stopToken) override;
    int fullNSegments(WhisperContext* context) override;
    std::optional<QString> fullGetSegmentText(WhisperContext* context, int segment) override;
    float fullGetSegmentNoSpeechProb(WhisperContext* context, int segment) override;
    int fullLangId(WhisperContext* context) override;
    std::optional<QString> langStr(int id) override;
    std::optional<QString> langStrFull(int id) override;
};

}  // namespace quorvelle
