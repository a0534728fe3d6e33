#include "Models/TranscriptionTelemetrySnapshot.h"

#include <algorithm>
#include <cmath>

namespace quorvelle {

namespace {

QString seconds(double milliseconds) {
    return QString::number(milliseconds / 1000.0, 'f', 2) + QLatin1Char('s');
}

}  // namespace

TranscriptionTelemetrySnapshot::TranscriptionTelemetrySnapshot(const QList<Sample>& samples) {
    if (samples.isEmpty()) {
        return;
    }
    sampleCount = static_cast<int>(samples.size());
    successCount = static_cast<int>(
        std::count_if(samples.begin(), samples.end(), [](const Sample& sample) { return sample.wasSuccessful; }));
    failureCount = sampleCount - successCount;
    lastElapsedMs = samples.last().elapsedMs;

    std::vector<int> sorted;
    sorted.reserve(samples.size());
    for (const Sample& sample : samples) {
        sorted.push_back(sample.elapsedMs);
    }
    std::sort(sorted.begin(), sorted.end());
    p50ElapsedMs = percentile(sorted, 0.5);
    p95ElapsedMs = percentile(sorted, 0.95);
}

std::optional<int> TranscriptionTelemetrySnapshot::percentile(const std::vector<int>& sortedValues, double fraction) {
    if (sortedValues.empty()) {
        return std::nullopt;
    }
    const auto count = static_cast<long long>(sortedValues.size());
    const double rank = std::ceil(static_cast<double>(count) * fraction) - 1.0;
    const long long index =
        std::isnan(rank) ? 0 : static_cast<long long>(std::clamp(rank, 0.0, static_cast<double>(count - 1)));
    return sortedValues[static_cast<size_t>(index)];
}

std::optional<QString> TranscriptionTelemetrySnapshot::summaryLine() const {
    if (!lastElapsedMs || !p50ElapsedMs || !p95ElapsedMs) {
        return std::nullopt;
    }
    return QStringLiteral("Latency son ") + seconds(*lastElapsedMs) + QStringLiteral(" | p50 ") +
           seconds(*p50ElapsedMs) + QStringLiteral(" | p95 ") + seconds(*p95ElapsedMs);
}

QString TranscriptionTelemetrySnapshot::targetSummaryLine() const {
    return QStringLiteral("Hedef p50 < ") + seconds(2500) + QStringLiteral(", p95 < ") + seconds(5000);
}

}  // namespace quorvelle
