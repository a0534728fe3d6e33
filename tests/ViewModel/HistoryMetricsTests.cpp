#include "ViewModelTestSupport.h"

#include <cmath>
#include <limits>

namespace quorvelle::test {
namespace {

TranscriptHistoryEntry entry(double seconds, qint64 words) {
    return {QUuid::createUuid(), QDateTime(QDate(2026, 2, 1), QTime(8, 0), Qt::UTC), {}, seconds, words, {}};
}

TEST(OverviewMetrics, SumsRoundsAndSurvivesAHandEditedFile) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double infinity = std::numeric_limits<double>::infinity();
    constexpr qint64 most = std::numeric_limits<qint64>::max();
    struct Row {
        const char* label;
        QList<TranscriptHistoryEntry> history;
        OverviewMetricsSnapshot expected;
    };
    const QList<Row> rows{
        {"under half a second", {entry(0.2, 9), entry(0.2, 9)}, {18, 0, 2, 0}},
        {"halves round away from zero", {entry(1.25, 10), entry(1.25, 10)}, {20, 3, 2, 400}},
        {"not a number counts as zero", {entry(nan, 5), entry(60.0, 5)}, {10, 60, 2, 10}},
        {"infinity counts as zero", {entry(infinity, 5), entry(-infinity, 5), entry(30.0, 5)}, {15, 30, 3, 30}},
        {"negative values count as zero", {entry(-30.0, -4), entry(30.0, 4)}, {4, 30, 2, 8}},
        {"huge durations saturate", {entry(1e300, 1), entry(1e300, 1)}, {2, most, 2, 0}},
        {"huge word counts saturate", {entry(60.0, most), entry(60.0, most)}, {most, 120, 2, most / 2 + 1}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(OverviewMetricsSnapshot::fromHistory(row.history), row.expected) << row.label;
}

using History = ViewModelTest;

// The published list is what the file holds after each write, failed writes included.
TEST_F(History, AppendingAndClearingPublishWhatTheFileHolds) {
    AppViewModel& vm = make();
    HistoryViewModel& history = *vm.history();
    fakes.history->entries = {entry(4.0, 2)};  // the file changed since it was read
    const QString spoken = QStringLiteral("  Merhaba dünya, nasılsın?");
    history.appendTranscriptHistory(spoken, 2.5, TranscriptHistoryCompletionKind::pastedViaClipboard);
    ASSERT_EQ(history.transcriptHistoryEntries().size(), 2);
    const TranscriptHistoryEntry& added = history.transcriptHistoryEntries().first();
    EXPECT_FALSE(added.id.isNull());
    EXPECT_EQ(added, (TranscriptHistoryEntry{added.id, fakes.clock.now(), spoken, 2.5, 3,
                                             TranscriptHistoryCompletionKind::pastedViaClipboard}));
    EXPECT_EQ(history.overviewMetrics(), (OverviewMetricsSnapshot{5, 7, 2, 43}));
    fakes.history->failSaves = true;
    history.appendTranscriptHistory(QStringLiteral("lost"), 1.0, TranscriptHistoryCompletionKind::inserted);
    EXPECT_EQ(history.transcriptHistoryEntries().size(), 2);

    QSignalSpy snapshot(vm.diagnostics(), &DiagnosticsViewModel::diagnosticsSnapshotChanged);
    history.clearTranscriptHistory();
    EXPECT_TRUE(history.transcriptHistoryEntries().isEmpty());
    EXPECT_EQ(history.overviewMetrics(), OverviewMetricsSnapshot{});
    EXPECT_EQ(snapshot.count(), 1);
    fakes.history->entries = {entry(4.0, 2)};
    fakes.history->failClears = true;
    history.clearTranscriptHistory();
    EXPECT_EQ(history.transcriptHistoryEntries().size(), 1);
}

}  // namespace
}  // namespace quorvelle::test
