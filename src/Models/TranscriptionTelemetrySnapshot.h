#pragma once

#include "Support/QmlValues.h"

#include <QList>
#include <QObject>
#include <QString>

#include <optional>
#include <vector>

namespace quorvelle {

// Summary of the latest transcription calls: counts, the last duration and two percentiles.
struct TranscriptionTelemetrySnapshot {
    Q_GADGET
    Q_PROPERTY(int sampleCount MEMBER sampleCount)
    Q_PROPERTY(int successCount MEMBER successCount)
    Q_PROPERTY(int failureCount MEMBER failureCount)
    Q_PROPERTY(QVariant lastElapsedMs READ lastElapsedMsValue)
    Q_PROPERTY(QVariant p50ElapsedMs READ p50ElapsedMsValue)
    Q_PROPERTY(QVariant p95ElapsedMs READ p95ElapsedMsValue)
    Q_PROPERTY(QVariant summaryLine READ summaryLineValue)
    Q_PROPERTY(QString targetSummaryLine READ targetSummaryLine)

public:
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

    QVariant lastElapsedMsValue() const { return optionalValue(lastElapsedMs); }
    QVariant p50ElapsedMsValue() const { return optionalValue(p50ElapsedMs); }
    QVariant p95ElapsedMsValue() const { return optionalValue(p95ElapsedMs); }
    QVariant summaryLineValue() const { return optionalValue(summaryLine()); }

    friend bool operator==(const TranscriptionTelemetrySnapshot&, const TranscriptionTelemetrySnapshot&) = default;
};

}  // namespace quorvelle
