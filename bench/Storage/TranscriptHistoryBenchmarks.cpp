// Transcript history at 1,000 / 10,000 / 100,000 entries: reading it (in the background from the
// store's construction; timed until the entries can be had), adding one dictation on the running
// store and as the first call on a store just built (the caller's time: the file is written on the
// store's own thread), adding one until the file is replaced, exporting it as CSV on the running
// store and first thing after start, and the resident memory a loaded history costs (counter
// "rss_MB", the process's growth while the store holds it).
#include "SeededHistoryFile.h"
#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <memory>

namespace {

using quorvelle::ApplicationSupportTranscriptHistoryStore;
using quorvelle::TranscriptHistoryCompletionKind;
using quorvelle::TranscriptHistoryEntry;
using quorvelle::bench::sampleEntry;

double residentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return -1;
}

// A history file of `count` entries, written once and shared by every benchmark of that size.
struct HistoryFile {
    QTemporaryDir dir;
    QDateTime start = QDateTime::currentDateTimeUtc();
    ApplicationSupportTranscriptHistoryStore::Options options{QDir(dir.path()).filePath(QStringLiteral("History")),
                                                              QDir(dir.path()).filePath(QStringLiteral("export")),
                                                              &QDateTime::currentDateTime};
    quorvelle::bench::SeededHistoryFile seeded;
    int added = 0;

    explicit HistoryFile(int count) : seeded(count, start) { QDir().mkpath(options.exportDirectory); }

    // Puts the file back as it was before a benchmark added to it.
    void restore() { seeded.writeTo(QDir(options.directory).filePath(QStringLiteral("transcript-history.json"))); }

    // One dictation, the way the history view model adds it.
    void addOne(ApplicationSupportTranscriptHistoryStore& store) {
        ++added;
        store.append(sampleEntry(start.addSecs(added), 1'000'000 + added));
    }
};

HistoryFile& fileOf(int count) {
    static std::map<int, std::unique_ptr<HistoryFile>> files;
    auto& file = files[count];
    if (!file) file = std::make_unique<HistoryFile>(count);
    file->restore();
    return *file;
}

void BM_HistoryLoad(benchmark::State& state) {
    HistoryFile& file = fileOf(int(state.range(0)));
    double grown = 0;
    for (auto _ : state) {
        const double before = residentMegabytes();
        ApplicationSupportTranscriptHistoryStore store(file.options);
        benchmark::DoNotOptimize(store.loadEntries());
        state.PauseTiming();
        store.waitUntilWritten();  // the reading thread's memory returned, as at idle
        grown = residentMegabytes() - before;
        state.ResumeTiming();
    }
    state.counters["rss_MB"] = grown;
}

void BM_HistoryAppend(benchmark::State& state) {
    HistoryFile& file = fileOf(int(state.range(0)));
    ApplicationSupportTranscriptHistoryStore store(file.options);
    store.loadEntries();
    for (auto _ : state)
        file.addOne(store);
}

void BM_HistoryAppendUntilSaved(benchmark::State& state) {
    HistoryFile& file = fileOf(int(state.range(0)));
    ApplicationSupportTranscriptHistoryStore store(file.options);
    store.loadEntries();
    for (auto _ : state) {
        file.addOne(store);
        store.waitUntilWritten();
    }
}

void BM_HistoryFirstAppendAfterStart(benchmark::State& state) {
    HistoryFile& file = fileOf(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        file.restore();
        auto fresh = std::make_unique<ApplicationSupportTranscriptHistoryStore>(file.options);
        state.ResumeTiming();
        file.addOne(*fresh);
        state.PauseTiming();
        fresh.reset();
        state.ResumeTiming();
    }
}

void BM_HistoryExport(benchmark::State& state) {
    HistoryFile& file = fileOf(int(state.range(0)));
    ApplicationSupportTranscriptHistoryStore store(file.options);
    store.loadEntries();
    for (auto _ : state)
        benchmark::DoNotOptimize(store.exportCSV());
}

void BM_HistoryFirstExportAfterStart(benchmark::State& state) {
    HistoryFile& file = fileOf(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto fresh = std::make_unique<ApplicationSupportTranscriptHistoryStore>(file.options);
        state.ResumeTiming();
        benchmark::DoNotOptimize(fresh->exportCSV());
        state.PauseTiming();
        fresh.reset();
        state.ResumeTiming();
    }
}

}  // namespace

#define QUORVELLE_HISTORY_BENCHMARK(name)                                                                              \
    BENCHMARK(name)                                                                                                    \
        ->Unit(benchmark::kMillisecond)                                                                                \
        ->Arg(1'000)                                                                                                   \
        ->Arg(10'000)                                                                                                  \
        ->Arg(100'000)                                                                                                 \
        ->Iterations(3)                                                                                                \
        ->Repetitions(3)                                                                                               \
        ->ComputeStatistics("max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }) \
        ->ReportAggregatesOnly(true)

QUORVELLE_HISTORY_BENCHMARK(BM_HistoryLoad);
QUORVELLE_HISTORY_BENCHMARK(BM_HistoryAppend);
QUORVELLE_HISTORY_BENCHMARK(BM_HistoryAppendUntilSaved);
QUORVELLE_HISTORY_BENCHMARK(BM_HistoryFirstAppendAfterStart);
QUORVELLE_HISTORY_BENCHMARK(BM_HistoryExport);
QUORVELLE_HISTORY_BENCHMARK(BM_HistoryFirstExportAfterStart);

BENCHMARK_MAIN();
