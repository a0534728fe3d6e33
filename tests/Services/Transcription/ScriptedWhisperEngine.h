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
};

struct RecordedRun {
    int contextSerial = 0;
    WhisperFullParams params;
    std::vector<float> samples;
};

class ScriptedWhisperEngine final : public WhisperEngine {
public:
    // Scripting; set before the runtime uses the engine. Each run takes the next of `runs`; when none
    // are left, it speaks "ok".
    QString systemInfo = QStringLiteral("AVX = 1 | NEON = 0");
    std::function<bool(const WhisperContextParams&)> loadSucceeds = [](const WhisperContextParams&) { return true; };
    QList<ScriptedRun> runs;
    QMap<int, std::optional<QString>> shortCodes;
    QMap<int, std::optional<QString>> fullNames;
    // When set, every run announces itself on `entered` and then waits for `proceed`.
    bool gateRuns = false;
    QSemaphore entered;
    QSemaphore proceed;

    // Records (every load tried), read while no job is inside the engine.
    QList<RecordedLoad> loads;
    QList<int> freedSerials;
    QList<RecordedRun> recordedRuns;
    int maxConcurrentRuns = 0;
    int abortedRuns = 0;

    QString printSystemInfo() override { return systemInfo; }
    // Defaults unlike the runtime's choices, so that a field it forgets to set shows.
    WhisperContextParams contextDefaultParams() override { return {true, true}; }
    WhisperFullParams fullDefaultParams(WhisperSamplingStrategy) override {
        WhisperFullParams params;
        params.translate = true;
        params.language = params.initialPrompt = QByteArray("en");
        return params;
    }
    WhisperContext* initFromFileWithParams(const QString& path, const WhisperContextParams& params) override {
        QMutexLocker lock(&m_mutex);
        loads.append({path, params});
        return loadSucceeds(params) ? new WhisperContext{m_nextSerial++} : nullptr;
    }
    void free(WhisperContext* context) override {
        QMutexLocker lock(&m_mutex);
        freedSerials.append(context->serial);
        delete context;
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
        if (stopToken.stop_requested()) return -(++abortedRuns);
        m_lastRun.insert(context->serial, runs.isEmpty() ? speech(QStringLiteral("ok")) : runs.takeFirst());
        return m_lastRun.value(context->serial).result;
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
        return m_lastRun.value(context->serial);
    }

    QMutex m_mutex;
    QMap<int, ScriptedRun> m_lastRun;
    int m_running = 0;
    int m_nextSerial = 1;
};

}  // namespace test
}  // namespace quorvelle
