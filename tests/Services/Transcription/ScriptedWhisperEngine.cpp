#include "ScriptedWhisperEngine.h"

#include <QMutexLocker>

#include <algorithm>

namespace quorvelle::test {

QString ScriptedWhisperEngine::printSystemInfo() {
    QMutexLocker lock(&m_mutex);
    return systemInfo;
}

WhisperContextParams ScriptedWhisperEngine::contextDefaultParams() {
    // Deliberately unlike the runtime's choices, so that a field it forgets to set shows.
    return {true, true};
}

WhisperContext* ScriptedWhisperEngine::initFromFileWithParams(const QString& path, const WhisperContextParams& params) {
    const bool ok = loadSucceeds(path, params);
    QMutexLocker lock(&m_mutex);
    loads.append({path, params, ok});
    if (!ok) return nullptr;
    return new WhisperContext{m_nextSerial++};
}

void ScriptedWhisperEngine::free(WhisperContext* context) {
    QMutexLocker lock(&m_mutex);
    freedSerials.append(context->serial);
    delete context;
}

WhisperFullParams ScriptedWhisperEngine::fullDefaultParams(WhisperSamplingStrategy strategy) {
    // Again unlike the runtime's choices in every field it sets.
    WhisperFullParams params;
    params.strategy = strategy;
    params.nThreads = 99;
    params.translate = true;
    params.noContext = false;
    params.noTimestamps = false;
    params.singleSegment = true;
    params.printProgress = true;
    params.printRealtime = true;
    params.printTimestamps = true;
    params.tokenTimestamps = true;
    params.detectLanguage = true;
    params.noSpeechThold = 0.6f;
    params.language = QByteArray("en");
    params.initialPrompt = QByteArray("default prompt");
    return params;
}

int ScriptedWhisperEngine::full(WhisperContext* context, const WhisperFullParams& params, const float* samples,
                                int sampleCount, std::stop_token stopToken) {
    std::vector<float> received(samples, samples + sampleCount);
    {
        QMutexLocker lock(&m_mutex);
        recordedRuns.append({context->serial, params, received});
        ++m_running;
        maxConcurrentRuns = std::max(maxConcurrentRuns, m_running);
    }
    if (gateRuns) {
        entered.release();
        proceed.acquire();
    }
    QMutexLocker lock(&m_mutex);
    --m_running;
    // Like the library: a run whose abort callback says stop fails.
    if (stopToken.stop_requested()) {
        ++abortedRuns;
        return -6;
    }
    ScriptedRun run;
    if (!runs.isEmpty())
        run = runs.takeFirst();
    else if (runFromSamples)
        run = runFromSamples(received);
    m_lastRunByContext.insert(context->serial, run);
    return run.result;
}

int ScriptedWhisperEngine::fullNSegments(WhisperContext* context) {
    QMutexLocker lock(&m_mutex);
    return int(m_lastRunByContext.value(context->serial).segments.size());
}

std::optional<QString> ScriptedWhisperEngine::fullGetSegmentText(WhisperContext* context, int segment) {
    QMutexLocker lock(&m_mutex);
    return m_lastRunByContext.value(context->serial).segments.at(segment).text;
}

float ScriptedWhisperEngine::fullGetSegmentNoSpeechProb(WhisperContext* context, int segment) {
    QMutexLocker lock(&m_mutex);
    return m_lastRunByContext.value(context->serial).segments.at(segment).noSpeechProbability;
}

int ScriptedWhisperEngine::fullLangId(WhisperContext* context) {
    QMutexLocker lock(&m_mutex);
    return m_lastRunByContext.value(context->serial).languageID;
}

std::optional<QString> ScriptedWhisperEngine::langStr(int id) {
    return shortCodes.value(id, std::nullopt);
}

std::optional<QString> ScriptedWhisperEngine::langStrFull(int id) {
    return fullNames.value(id, std::nullopt);
}

}  // namespace quorvelle::test
