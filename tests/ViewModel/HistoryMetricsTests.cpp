#include "ViewModelTestSupport.h"

#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"

#include <QAbstractItemModelTester>
#include <QTemporaryDir>

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

// Over the real store: a dictation is one row put in (never a reset of the whole list), where its
// time puts it, and the list stays what the file holds; a file replaced by someone else is read anew.
TEST_F(History, ADictationIsOneRowPutInAndTheListStaysWhatTheFileHolds) {
    QTemporaryDir dir;
    ApplicationSupportTranscriptHistoryStore::Options options{dir.filePath("History"), dir.path(),
                                                              [] { return QDateTime::currentDateTime(); }};
    QList<TranscriptHistoryEntry> seeded;
    for (int index = 1; index <= 300; ++index)
        seeded.append({QUuid::createUuid(), fakes.clock.now().addSecs(-60 * index), "said", 2.0, 1, {}});
    ApplicationSupportTranscriptHistoryStore(options).save(seeded);
    auto store = std::make_shared<ApplicationSupportTranscriptHistoryStore>(options);
    AppBootstrap services = fakes.bootstrap();
    services.transcriptHistoryStore = store;
    HistoryViewModel& history = *make(services).history();
    QSignalSpy loaded(&history, &HistoryViewModel::historyLoadedChanged);
    // Read in the background: it may already be done, and a loaded machine may take a while.
    ASSERT_TRUE(history.isHistoryLoaded() || loaded.wait(30000));
    ASSERT_EQ(history.transcriptHistoryEntries(), seeded);

    QAbstractItemModel* model = history.transcriptHistoryEntriesModel();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy resets(model, &QAbstractItemModel::modelReset), inserted(model, &QAbstractItemModel::rowsInserted);
    history.appendTranscriptHistory("newest", 1.0, TranscriptHistoryCompletionKind::inserted);
    fakes.clock.advance(-90);  // a clock set back: between the first and second stored entries
    history.appendTranscriptHistory("set back", 1.0, TranscriptHistoryCompletionKind::inserted);
    EXPECT_EQ(resets.count(), 0);
    ASSERT_EQ(inserted.count(), 2);
    EXPECT_EQ(inserted[0][1].toInt(), 0);
    EXPECT_EQ(inserted[1][1].toInt(), 2);
    EXPECT_EQ(history.transcriptHistoryEntries().size(), 302);
    EXPECT_EQ(history.overviewMetrics().sessionCount, 302);
    store->waitUntilWritten();
    EXPECT_EQ(ApplicationSupportTranscriptHistoryStore(options).loadEntries(), history.transcriptHistoryEntries());

    ApplicationSupportTranscriptHistoryStore(options).save({seeded.first()});
    history.appendTranscriptHistory("after", 1.0, TranscriptHistoryCompletionKind::inserted);
    EXPECT_EQ(history.transcriptHistoryEntries().size(), 2);
    EXPECT_EQ(history.overviewMetrics().sessionCount, 2);
}

// A change the disk refused is said in the status line, in the interface language, and logged.
TEST_F(History, AChangeTheDiskRefusedIsSaidWithItsReason) {
    make("turkish");
    fakes.history->reportSaveFailure("No space left on device");
    EXPECT_EQ(message(),
              "Transcript geçmişi kaydedilemedi: No space left on device. Değişiklik saklanıyor ve bir "
              "sonraki dikteyle kaydedilecek.");
    ASSERT_EQ(fakes.diagnostics->codes().value(0), "history.save_failed");
    EXPECT_TRUE(fakes.diagnostics->stored.first().message.startsWith(
        "The transcript history could not be saved: No space left on device."));
}

}  // namespace
}  // namespace quorvelle::test
