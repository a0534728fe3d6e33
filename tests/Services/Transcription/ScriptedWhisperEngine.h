// A WhisperEngine that plays back scripted results and records every call, for the runtime's rules.
#pragma once

#include "Services/Transcription/WhisperEngine.h"

#include <QList>
#include <QMap>
#include <QMutex>
#include <QMutexLocker>
#include <QSemaphore>

#include <algorithm>
#include <functional>
#include <optional>

namespace quorvelle {

// The scripted engine's loaded model.
struct WhisperContext {
    int serial = 0;
};

namespace test {

struct ScriptedSegment {
    std::optional<QString> text;
    float noSpeechProbability = 0;
};

// What one whisper_full call produces.
struct ScriptedRun {
    int result = 0;
    QList<ScriptedSegment> segments;
    int languageID = -1;
};

inline ScriptedRun speech(const QString& text) {
    return ScriptedRun{0, {{text, 0.1f}}, 0};
}

struct RecordedLoad {
    QString path;
    WhisperContextParams params;
    bool succeeded = false;
};

struct RecordedRun {
    int contextSerial = 0;
    WhisperFullParams params;
    std::vector<float> samples;
};

class ScriptedWhisperEngine final : public WhisperEngine {
public:
    // Scripting; set before the runtime uses the engine.
    QString systemInfo = QStringLiteral("AVX = 1 | NEON = 0");
    std::function<bool(const WhisperContextParams& params)> loadSucceeds = [](const WhisperContextParams&) {
        return true;
    };
    // Each run takes the next one; when none are left, the run speaks `fallbackText`.
    QList<ScriptedRun> runs;
    QString fallbackText = QStringLiteral("ok");
    QMap<int, std::optional<QString>> shortCodes;
    QMap<int, std::optional<QString>> fullNames;
    // When set, every run announces itself on `entered` and then waits for `proceed`.
    bool gateRuns = false;
    QSemaphore entered;
    QSemaphore proceed;

    // Records, read while no job is inside the engine (finished, or held at the gate).
    QList<RecordedLoad> loads;
    QList<int> freedSerials;
    QList<RecordedRun> recordedRuns;
    int maxConcurrentRuns = 0;
    int abortedRuns = 0;

    QString printSystemInfo() override { return systemInfo; }
    // Defaults deliberately unlike the runtime's choices, so that a field it forgets to set shows.
    WhisperContextParams contextDefaultParams() override { return {true, true}; }
    WhisperContext* initFromFileWithParams(const QString& path, const WhisperContextParams& params) override {
        QMutexLocker lock(&m_mutex);
        loads.append({path, params, loadSucceeds(params)});
        return loads.last().succeeded ? new WhisperContext{m_nextSerial++} : nullptr;
    }
    void free(WhisperContext* context) override {
        QMutexLocker lock(&m_mutex);
        freedSerials.append(context->serial);
        delete context;
    }
    WhisperFullParams fullDefaultParams(WhisperSamplingStrategy strategy) override {
        WhisperFullParams p;
        p.strategy = strategy;
        p.nThreads = 99;
        p.translate = p.singleSegment = p.printProgress = p.printRealtime = p.printTimestamps = true;
        p.tokenTimestamps = p.detectLanguage = true;
        p.noContext = p.noTimestamps = false;
        p.noSpeechThold = 0.6f;
        p.language = QByteArray("en");
        p.initialPrompt = QByteArray("default prompt");
        return p;
    }
    int full(WhisperContext* context, const WhisperFullParams& params, const float* samples, int sampleCount,
             std::stop_token stopToken) override {
        {
            QMutexLocker lock(&m_mutex);
            recordedRuns.append({context->serial, params, std::vector<float>(samples, samples + sampleCount)});
            maxConcurrentRuns = std::max(maxConcurrentRuns, ++m_running);
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
        const ScriptedRun run = runs.isEmpty() ? speech(fallbackText) : runs.takeFirst();
        m_lastRunByContext.insert(context->serial, run);
        return run.result;
    }
    int fullNSegments(WhisperContext* context) override { return int(last(context).segments.size()); }
    std::optional<QString> fullGetSegmentText(WhisperContext* context, int segment) override {
        return last(context).segments.at(segment).text;
    }
    float fullGetSegmentNoSpeechProb(WhisperContext* context, int segment) override {
        return last(context).segments.at(segment).noSpeechProbability;
    }
    int fullLangId(WhisperContext* context) override { return last(context).languageID; }
    std::optional<QString> langStr(int id) override { return shortCodes.value(id, std::nullopt); }
    std::optional<QString> langStrFull(int id) override { return fullNames.value(id, std::nullopt); }

private:
    ScriptedRun last(WhisperContext* context) {
        QMutexLocker lock(&m_mutex);
        return m_lastRunByContext.value(context->serial);
    }

    QMutex m_mutex;
    QMap<int, ScriptedRun> m_lastRunByContext;
    int m_running = 0;
    int m_nextSerial = 1;
};

}  // namespace test
}  // namespace quorvelle
