#pragma once

#include "Models/TranscriptHistoryEntry.h"

#include <QList>

namespace quorvelle {

// The totals of the history shown on the dashboard overview.
struct OverviewMetricsSnapshot {
    Q_GADGET
    Q_PROPERTY(qint64 totalWords MEMBER totalWords)
    Q_PROPERTY(qint64 totalDurationSeconds MEMBER totalDurationSeconds)
    Q_PROPERTY(qint64 sessionCount MEMBER sessionCount)
    Q_PROPERTY(qint64 averageWordsPerMinute MEMBER averageWordsPerMinute)

public:
    qint64 totalWords = 0;
    qint64 totalDurationSeconds = 0;
    qint64 sessionCount = 0;
    qint64 averageWordsPerMinute = 0;

    // The history file is edited by hand sometimes: a duration that is not a finite, non-negative
    // number counts as 0, a negative word count as 0, and the sums stop at the largest value.
    static OverviewMetricsSnapshot fromHistory(const QList<TranscriptHistoryEntry>& history);

    bool operator==(const OverviewMetricsSnapshot&) const = default;
};

// The running sums behind the totals, so that a new entry adds to them without a new pass.
class OverviewMetricsTally {
public:
    void add(const TranscriptHistoryEntry& entry);
    OverviewMetricsSnapshot snapshot() const;

private:
    qint64 m_words = 0;
    double m_durationSeconds = 0.0;
    qint64 m_count = 0;
};

}  // namespace quorvelle
