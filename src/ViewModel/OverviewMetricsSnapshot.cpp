#include "ViewModel/OverviewMetricsSnapshot.h"

#include <cmath>
#include <limits>

namespace quorvelle {

namespace {

constexpr qint64 kMaximum = std::numeric_limits<qint64>::max();

qint64 saturatingAdd(qint64 a, qint64 b) {
    return a > kMaximum - b ? kMaximum : a + b;
}

// Half away from zero, held inside the 64-bit range.
qint64 roundedCount(double value) {
    if (!(value > 0.0)) return 0;
    const double rounded = std::round(value);
    return rounded >= double(kMaximum) ? kMaximum : qint64(rounded);
}

}  // namespace

OverviewMetricsSnapshot OverviewMetricsSnapshot::fromHistory(const QList<TranscriptHistoryEntry>& history) {
    OverviewMetricsTally tally;
    for (const TranscriptHistoryEntry& entry : history)
        tally.add(entry);
    return tally.snapshot();
}

void OverviewMetricsTally::add(const TranscriptHistoryEntry& entry) {
    m_words = saturatingAdd(m_words, std::max<qint64>(0, entry.wordCount));
    const double duration = entry.durationSeconds;
    if (std::isfinite(duration) && duration > 0.0) m_durationSeconds += duration;
    ++m_count;
}

OverviewMetricsSnapshot OverviewMetricsTally::snapshot() const {
    OverviewMetricsSnapshot metrics;
    metrics.totalWords = m_words;
    metrics.sessionCount = m_count;
    metrics.totalDurationSeconds = roundedCount(m_durationSeconds);
    if (metrics.totalWords > 0 && metrics.totalDurationSeconds > 0)
        metrics.averageWordsPerMinute =
            roundedCount(double(metrics.totalWords) / double(metrics.totalDurationSeconds) * 60.0);
    return metrics;
}

}  // namespace quorvelle
