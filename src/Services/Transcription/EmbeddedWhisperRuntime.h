// EmbeddedWhisperRuntime: the single owner of the on-device speech engine. It tells whether the
// engine is usable, keeps at most one loaded model, and turns one WAV clip into one transcript on its
// own worker thread, one job at a time.
#pragma once

#include "Models/CapturedAudioClip.h"
#include "Models/LocalTranscriptionModelID.h"
#include "Models/LocalWhisperAccelerationMode.h"
#include "Services/Transcription/LocalRuntimeAvailability.h"
#include "Services/Transcription/SerialWorkQueue.h"
#include "Services/Transcription/WhisperEngine.h"

#include <QCoroTask>
#include <QString>

#include <algorithm>
#include <memory>
#include <optional>

namespace quorvelle {

class EmbeddedWhisperRuntime final : public LocalRuntimeInspecting {
public:
    // Handed to the engine as its own no-speech threshold.
    static constexpr float kNoSpeechDecodeThreshold = 0.95f;

    // The engine's threads for a machine of this many processors: at most four, as whisper.cpp's own
    // tools choose. More threads than that spend more time waiting on each other than computing,
    // and far more so when the machine is busy.
    static int threadCountFor(int processorCount) { return std::clamp(processorCount, 1, 4); }

    // A null engine (a build without whisper.cpp) makes the runtime unavailable. threadCount is what
    // each run hands the engine.
    explicit EmbeddedWhisperRuntime(std::shared_ptr<WhisperEngine> engine,
                                    int threadCount = threadCountFor(QThread::idealThreadCount()));
    // Waits for queued jobs, then frees the loaded model on the worker thread.
    ~EmbeddedWhisperRuntime() override;

    LocalRuntimeAvailability availability() const override;

    // The transcript of the clip, trimmed and with its white space collapsed. Throws
    // LocalTranscriptionRuntimeError, the decoder's QuorvelleError, or QuorvelleError::noSpeechDetected
    // for a clip without samples. The caller resumes on its own thread. A stop request skips a job
    // still queued and aborts a running one; either ends with CancellationError.
    QCoro::Task<QString> transcribe(CapturedAudioClip clip, LocalTranscriptionModelID modelID, QString modelPath,
                                    std::optional<QString> languageCode, LocalWhisperAccelerationMode accelerationMode,
                                    std::optional<QString> prompt, std::stop_token stopToken = {});

private:
    struct Job {
        CapturedAudioClip clip;
        LocalTranscriptionModelID modelID;
        QString modelPath;
        std::optional<QString> languageCode;
        LocalWhisperAccelerationMode accelerationMode;
        std::optional<QString> prompt;
        std::stop_token stopToken;
    };

    // Worker thread only.
    QString run(const Job& job);
    WhisperContext* obtainContext(const Job& job, const QString& modelTitle);
    WhisperFullParams parameters(const Job& job) const;
    void freeContext();

    std::shared_ptr<WhisperEngine> m_engine;
    int m_threadCount;

    // Touched on the worker thread only.
    std::optional<LocalTranscriptionModelID> m_loadedModelID;
    std::optional<QString> m_loadedModelPath;
    std::optional<LocalWhisperAccelerationMode> m_loadedAccelerationMode;
    WhisperContext* m_context = nullptr;

    SerialWorkQueue m_queue;  // last: stopped before the fields its jobs use are destroyed
};

}  // namespace quorvelle
