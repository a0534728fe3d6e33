#pragma once

#include "Models/TranscriptionTelemetryRecording.h"

#include <QList>

namespace quorvelle {

// Keeps the newest transcription durations in memory only; starts empty at every launch.
class RollingTranscriptionTelemetryStore final : public TranscriptionTelemetryRecording {
public:
    static constexpr int defaultSampleLimit = 50;

    explicit RollingTranscriptionTelemetryStore(int sampleLimit = defaultSampleLimit);

    TranscriptionTelemetrySnapshot snapshot() const override;
    // Negative durations count as 0.
    void record(int elapsedMs, bool wasSuccessful) override;

    int sampleLimit() const { return m_sampleLimit; }

private:
    int m_sampleLimit;
    QList<TranscriptionTelemetrySnapshot::Sample> m_samples;
    TranscriptionTelemetrySnapshot m_snapshot;
};

}  // namespace quorvelle
