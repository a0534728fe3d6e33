#include "Services/Transcription/WhisperCpp/WhisperCppEngine.h"

#include "Services/Transcription/WhisperCpp/WhisperModelFile.h"

#include <QFile>

#include <whisper.h>

namespace quorvelle {
namespace {

whisper_context* native(WhisperContext* context) {
    return reinterpret_cast<whisper_context*>(context);
}

whisper_sampling_strategy nativeStrategy(WhisperSamplingStrategy strategy) {
    return strategy == WhisperSamplingStrategy::greedy ? WHISPER_SAMPLING_GREEDY : WHISPER_SAMPLING_BEAM_SEARCH;
}

std::optional<QString> optionalText(const char* text) {
    if (text == nullptr) return std::nullopt;
    return QString::fromUtf8(text);
}

std::optional<QByteArray> optionalBytes(const char* text) {
    if (text == nullptr) return std::nullopt;
    return QByteArray(text);
}

const char* nativeText(const std::optional<QByteArray>& text) {
    return text ? text->constData() : nullptr;
}

}  // namespace

QString WhisperCppEngine::printSystemInfo() {
    return optionalText(whisper_print_system_info()).value_or(QString());
}

WhisperContextParams WhisperCppEngine::contextDefaultParams() {
    const whisper_context_params defaults = whisper_context_default_params();
    return {defaults.use_gpu, defaults.flash_attn};
}

WhisperContext* WhisperCppEngine::initFromFileWithParams(const QString& path, const WhisperContextParams& params) {
    whisper_context_params nativeParams = whisper_context_default_params();
    nativeParams.use_gpu = params.useGpu;
    nativeParams.flash_attn = params.flashAttn;
    // The library takes a file cut short for a model and crashes on it later, inside whisper_full.
    if (!isCompleteWhisperModelFile(path)) return nullptr;
    const QByteArray nativePath = QFile::encodeName(path);
    // The library is C++ inside and lets some of its exceptions out through the C interface.
    try {
        return reinterpret_cast<WhisperContext*>(
            whisper_init_from_file_with_params(nativePath.constData(), nativeParams));
    } catch (...) {
        return nullptr;
    }
}

void WhisperCppEngine::free(WhisperContext* context) {
    whisper_free(native(context));
}

WhisperFullParams WhisperCppEngine::fullDefaultParams(WhisperSamplingStrategy strategy) {
    const whisper_full_params defaults = whisper_full_default_params(nativeStrategy(strategy));
    WhisperFullParams params;
    params.strategy = strategy;
    params.nThreads = defaults.n_threads;
    params.translate = defaults.translate;
    params.noContext = defaults.no_context;
    params.noTimestamps = defaults.no_timestamps;
    params.singleSegment = defaults.single_segment;
    params.printProgress = defaults.print_progress;
    params.printRealtime = defaults.print_realtime;
    params.printTimestamps = defaults.print_timestamps;
    params.tokenTimestamps = defaults.token_timestamps;
    params.detectLanguage = defaults.detect_language;
    params.noSpeechThold = defaults.no_speech_thold;
    params.language = optionalBytes(defaults.language);
    params.initialPrompt = optionalBytes(defaults.initial_prompt);
    return params;
}

int WhisperCppEngine::full(WhisperContext* context, const WhisperFullParams& params, const float* samples,
                           int sampleCount, std::stop_token stopToken) {
    // Start from the library's defaults so that every field we do not name keeps its meaning.
    whisper_full_params nativeParams = whisper_full_default_params(nativeStrategy(params.strategy));
    nativeParams.n_threads = params.nThreads;
    nativeParams.translate = params.translate;
    nativeParams.no_context = params.noContext;
    nativeParams.no_timestamps = params.noTimestamps;
    nativeParams.single_segment = params.singleSegment;
    nativeParams.print_progress = params.printProgress;
    nativeParams.print_realtime = params.printRealtime;
    nativeParams.print_timestamps = params.printTimestamps;
    nativeParams.token_timestamps = params.tokenTimestamps;
    nativeParams.detect_language = params.detectLanguage;
    nativeParams.no_speech_thold = params.noSpeechThold;
    // The byte arrays outlive the call: params is held by the caller throughout.
    nativeParams.language = nativeText(params.language);
    nativeParams.initial_prompt = nativeText(params.initialPrompt);
    // The library asks between its steps whether to go on; the token outlives the call.
    nativeParams.abort_callback = [](void* data) -> bool {
        return static_cast<const std::stop_token*>(data)->stop_requested();
    };
    nativeParams.abort_callback_user_data = &stopToken;
    // An exception from inside the library (a token missing from the model's vocabulary, for one)
    // is a failed run.
    try {
        return whisper_full(native(context), nativeParams, samples, sampleCount);
    } catch (...) {
        return -1;
    }
}

int WhisperCppEngine::fullNSegments(WhisperContext* context) {
    return whisper_full_n_segments(native(context));
}

std::optional<QString> WhisperCppEngine::fullGetSegmentText(WhisperContext* context, int segment) {
    return optionalText(whisper_full_get_segment_text(native(context), segment));
}

float WhisperCppEngine::fullGetSegmentNoSpeechProb(WhisperContext* context, int segment) {
    return whisper_full_get_segment_no_speech_prob(native(context), segment);
}

int WhisperCppEngine::fullLangId(WhisperContext* context) {
    return whisper_full_lang_id(native(context));
}

std::optional<QString> WhisperCppEngine::langStr(int id) {
    return optionalText(whisper_lang_str(id));
}

std::optional<QString> WhisperCppEngine::langStrFull(int id) {
    return optionalText(whisper_lang_str_full(id));
}

}  // namespace quorvelle
