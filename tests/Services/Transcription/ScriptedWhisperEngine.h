// A WhisperEngine that plays back scripted results and records every call, for the runtime's rules.
#pragma once

#include "Services/Transcription/WhisperEngine.h"

#include <QList>
#include <QMap>
#include <QMutex>
#include <QSemaphore>
#include <QStringList>

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
    std::function<bool(const QString& path, const WhisperContextParams& params)> loadSucceeds =
        [](const QString&, const WhisperContextParams&) { return true; };
    // Each run takes the next one; when none are left, the run's result is made from its samples.
    QList<ScriptedRun> runs;
    std::function<ScriptedRun(const std::vector<float>& samples)> runFromSamples;
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

private:
    mutable QMutex m_mutex;
    int m_nextSerial = 1;
    QMap<int, ScriptedRun> m_lastRunByContext;
    int m_running = 0;
};

}  // namespace test
}  // namespace quorvelle
