#pragma once

#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace quorvelle {

// Summary of the latest transcription calls: counts, the last duration and two percentiles.
struct TranscriptionTelemetrySnapshot {
    struct Sample {
        int elapsedMs = 0;
        bool wasSuccessful = false;
    };

    int sampleCount = 0;
    int successCount = 0;
    int failureCount = 0;
    std::optional<int> lastElapsedMs;
    std::optional<int> p50ElapsedMs;
    std::optional<int> p95ElapsedMs;

    TranscriptionTelemetrySnapshot() = default;
    // Samples oldest first.
    explicit TranscriptionTelemetrySnapshot(const QList<Sample>& samples);

    // Nearest-rank percentile over values sorted ascending; none for no values.
    static std::optional<int> percentile(const std::vector<int>& sortedValues, double fraction);

    // Absent when there are no samples.
    std::optional<QString> summaryLine() const;
    QString targetSummaryLine() const;

    friend bool operator==(const TranscriptionTelemetrySnapshot&, const TranscriptionTelemetrySnapshot&) = default;
};

}  // namespace quorvelle
