// WhisperEngine: the whisper.cpp calls the local runtime makes, behind an interface of ours so
// that the runtime's rules can be exercised with a scripted engine and run on the real library
// where it is installed. Each operation stands for the whisper.cpp function of the same name.
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <stop_token>

namespace quorvelle {

// An engine's loaded model; only the engine that made it knows what it is.
struct WhisperContext;

enum class WhisperSamplingStrategy { greedy, beamSearch };

// The fields of whisper_context_params that the runtime sets; the rest keep the library's defaults.
struct WhisperContextParams {
    bool useGpu = true;
    bool flashAttn = false;

    bool operator==(const WhisperContextParams&) const = default;
};

// The fields of whisper_full_params that the runtime sets; the rest keep the library's defaults.
struct WhisperFullParams {
    WhisperSamplingStrategy strategy = WhisperSamplingStrategy::greedy;
    int nThreads = 1;
    bool translate = false;
    bool noContext = true;
    bool noTimestamps = false;
    bool singleSegment = false;
    bool printProgress = true;
    bool printRealtime = false;
    bool printTimestamps = true;
    bool tokenTimestamps = false;
    bool detectLanguage = false;
    float noSpeechThold = 0.6f;
    // Absent hands the library a null pointer.
    std::optional<QByteArray> language;
    std::optional<QByteArray> initialPrompt;

    bool operator==(const WhisperFullParams&) const = default;
};

class WhisperEngine {
public:
    virtual ~WhisperEngine() = default;

    // whisper_print_system_info. May be called from any thread.
    virtual QString printSystemInfo() = 0;

    // The remaining calls are made from the runtime's worker thread only.
    virtual WhisperContextParams contextDefaultParams() = 0;
    // Null when the model cannot be loaded, a file that is not a complete model included.
    virtual WhisperContext* initFromFileWithParams(const QString& path, const WhisperContextParams& params) = 0;
    virtual void free(WhisperContext* context) = 0;

    virtual WhisperFullParams fullDefaultParams(WhisperSamplingStrategy strategy) = 0;
    // 0 on success. A stop request reaches the library through its abort callback, which ends the
    // run early with a failure code.
    virtual int full(WhisperContext* context, const WhisperFullParams& params, const float* samples, int sampleCount,
                     std::stop_token stopToken) = 0;
    virtual int fullNSegments(WhisperContext* context) = 0;
    // None where the library returns a null pointer.
    virtual std::optional<QString> fullGetSegmentText(WhisperContext* context, int segment) = 0;
    virtual float fullGetSegmentNoSpeechProb(WhisperContext* context, int segment) = 0;
    virtual int fullLangId(WhisperContext* context) = 0;
    virtual std::optional<QString> langStr(int id) = 0;
    virtual std::optional<QString> langStrFull(int id) = 0;
};

// The whisper.cpp engine when the program was built with it, else null.
std::shared_ptr<WhisperEngine> makeInstalledWhisperEngine();

}  // namespace quorvelle
