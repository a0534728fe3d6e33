// Transcript history at 10,000 entries: adding one dictation the way the session does it
// (load, put in front, save, load again) and exporting the whole history as CSV, each both on the
// running store and on a freshly built one (the first dictation or export after start-up). The
// fresh store reads the file in the background from its construction; the first append is timed
// on the calling thread once that had the time a started application gives it, and the first
// export at once, waiting for it.
#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <memory>
#include <thread>

namespace {

using quorvelle::ApplicationSupportTranscriptHistoryStore;
using quorvelle::TranscriptHistoryCompletionKind;
using quorvelle::TranscriptHistoryEntry;

constexpr int kEntryCount = 10'000;

TranscriptHistoryEntry sampleEntry(const QDateTime& completedAt, int index) {
    // About the length of a short dictated paragraph, with the characters the CSV must quote.
    const QString transcript = QStringLiteral(
                                   "Entry %1: please send the quarterly report to \"finance\", then book the room for "
                                   "Thursday and remind everyone about the review.")
                                   .arg(index);
    return TranscriptHistoryEntry{QUuid::createUuid(), completedAt, transcript,
                                  4.25 + index % 7,    22,          TranscriptHistoryCompletionKind::inserted};
}

struct Fixture {
    QTemporaryDir dir;
    QDateTime start = QDateTime::currentDateTimeUtc();
    ApplicationSupportTranscriptHistoryStore::Options options{QDir(dir.path()).filePath(QStringLiteral("History")),
                                                              QDir(dir.path()).filePath(QStringLiteral("export")),
                                                              &QDateTime::currentDateTime};
    ApplicationSupportTranscriptHistoryStore store{options};
    int added = 0;

    Fixture() {
        QDir().mkpath(options.exportDirectory);
        QList<TranscriptHistoryEntry> entries;
        entries.reserve(kEntryCount);
        for (int i = 0; i < kEntryCount; ++i)
            entries.append(sampleEntry(start.addSecs(-60 * i), i));
        store.save(entries);
    }

    void addOne(ApplicationSupportTranscriptHistoryStore& target) {
        ++added;
        QList<TranscriptHistoryEntry> entries = target.loadEntries();
        entries.prepend(sampleEntry(start.addSecs(added), kEntryCount + added));
        target.save(entries);
        benchmark::DoNotOptimize(target.loadEntries());
    }
};

void BM_HistoryAppendAt10k(benchmark::State& state) {
    Fixture fixture;
    for (auto _ : state)
        fixture.addOne(fixture.store);
}

void BM_HistoryFirstAppendAfterStartAt10k(benchmark::State& state) {
    Fixture fixture;
    for (auto _ : state) {
        state.PauseTiming();
        auto fresh = std::make_unique<ApplicationSupportTranscriptHistoryStore>(fixture.options);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        state.ResumeTiming();
        fixture.addOne(*fresh);
        state.PauseTiming();
        fresh.reset();
        state.ResumeTiming();
    }
}

void BM_HistoryExportAt10k(benchmark::State& state) {
    Fixture fixture;
    for (auto _ : state)
        benchmark::DoNotOptimize(fixture.store.exportCSV());
}

void BM_HistoryFirstExportAfterStartAt10k(benchmark::State& state) {
    Fixture fixture;
    for (auto _ : state) {
        ApplicationSupportTranscriptHistoryStore fresh(fixture.options);
        benchmark::DoNotOptimize(fresh.exportCSV());
    }
}

}  // namespace

#define QUORVELLE_HISTORY_BENCHMARK(name) \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true)

QUORVELLE_HISTORY_BENCHMARK(BM_HistoryAppendAt10k);
BENCHMARK(BM_HistoryFirstAppendAfterStartAt10k)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
QUORVELLE_HISTORY_BENCHMARK(BM_HistoryExportAt10k);
QUORVELLE_HISTORY_BENCHMARK(BM_HistoryFirstExportAfterStartAt10k);

BENCHMARK_MAIN();
