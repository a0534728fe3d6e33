// The main thread's share of the history, with the dashboard's history lists attached (the history
// page, the overview's five rows, the header's one) over the real store:
// - BM_DictationMainThread: one dictation handed to the history, until the main thread has nothing
//   left to do for it, at 10,000 / 100,000 / 300,000 entries. Goal: never over 16 ms ("max").
// - BM_ExportMainThreadStall: the longest stretch in which the main thread did not turn its event
//   loop, from asking for the CSV export of a history just read until the file stands at the place
//   the user chose (the first export after start, as the user meets it).
// - BM_PastedDictationJournal: the two journal entries of a pasted dictation (held at the paste,
//   then its entry as the check ended) as the main thread hands them to the store, at 300,000
//   entries, each call timed alone over 200 dictations: p50, p99 and max in ms. Goal: p99 under
//   1 ms. held_in_journal: from the call at the paste until the entry is in a file beside the history
//   (the call returns once it is), the time a SIGKILL could still lose it. Second argument 1: the writer is idle at
//   each call, as in use; 0: dictations back to back, so the writer is replacing the file and ending the journal
//   meanwhile. control_copy: a copy of the entry on the same thread, to tell the machine's own
//   stalls (load, memory) from the store's. held_waited / ended_waited: the calls in which the main
//   thread gave up the processor itself (it waited on a lock, the disk or another thread: goal 0);
//   *_preempted: those in which the system took it away for other work (the machine's load);
//   *_over_1ms: the calls over the goal.
// The load average at the start is printed with the figures: they mean little without it.
#include "FakeBootstrap.h"
#include "SeededHistoryFile.h"
#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"
#include "ViewModel/AppViewModel.h"
#include "Views/Dashboard/History/HistoryExporter.h"
#include "Views/Dashboard/History/HistoryRows.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace {

using namespace quorvelle;

const QDateTime kSeededUntil(QDate(2026, 2, 28), QTime(9, 0), Qt::UTC);

// A history file of `count` entries, all older than the fake clock, written once per size.
struct SeededHistory {
    QTemporaryDir dir;
    ApplicationSupportTranscriptHistoryStore::Options options{QDir(dir.path()).filePath(QStringLiteral("History")),
                                                              QDir(dir.path()).filePath(QStringLiteral("export")),
                                                              &QDateTime::currentDateTime};
    bench::SeededHistoryFile file;

    explicit SeededHistory(int count) : file(count, kSeededUntil) { QDir().mkpath(options.exportDirectory); }
    void restore() const { file.writeTo(QDir(options.directory).filePath(QStringLiteral("transcript-history.json"))); }
};

SeededHistory& historyOf(int count) {
    static std::map<int, std::unique_ptr<SeededHistory>> histories;
    auto& history = histories[count];
    if (!history) history = std::make_unique<SeededHistory>(count);
    history->restore();
    return *history;
}

struct FixedChooser final : SaveLocationChoosing {
    QString target;
    std::optional<QString> chooseSaveLocation(const QString&) override { return target; }
};

// The view model over fakes with the real store, the history read, the dashboard's lists attached.
struct Dashboard {
    test::FakeBootstrap fakes;
    std::shared_ptr<ApplicationSupportTranscriptHistoryStore> store;
    std::unique_ptr<AppViewModel> viewModel;
    HistoryRows page, overview, header;

    explicit Dashboard(const SeededHistory& history, int count)
        : store(std::make_shared<ApplicationSupportTranscriptHistoryStore>(history.options)) {
        AppBootstrap services = fakes.bootstrap();
        services.transcriptHistoryStore = store;
        viewModel = std::make_unique<AppViewModel>(services, fakes.environment());
        QElapsedTimer waited;
        waited.start();
        while (viewModel->history()->transcriptHistoryEntries().size() < count && waited.elapsed() < 60'000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        overview.setLimit(5);
        header.setLimit(1);
        for (HistoryRows* rows : {&page, &overview, &header})
            rows->setViewModel(viewModel.get());
        QCoreApplication::processEvents();
    }
};

// One per size, kept across repetitions: the first measures the first dictation after the history
// was read, the others those that follow. Ended before the application.
std::map<int, std::unique_ptr<Dashboard>> dashboards;

void BM_DictationMainThread(benchmark::State& state) {
    const int count = int(state.range(0));
    auto& kept = dashboards[count];
    if (!kept) kept = std::make_unique<Dashboard>(historyOf(count), count);
    Dashboard& dashboard = *kept;
    static int spoken = 0;
    for (auto _ : state) {
        dashboard.fakes.clock.advance(30);
        QElapsedTimer busy;
        busy.start();
        dashboard.viewModel->history()->appendTranscriptHistory(
            QStringLiteral("Dictation %1 of the benchmark, a sentence of ordinary length.").arg(++spoken), 3.5,
            TranscriptHistoryCompletionKind::inserted);
        QCoreApplication::processEvents();
        state.SetIterationTime(double(busy.nsecsElapsed()) / 1e9);
        dashboard.store->waitUntilWritten();  // each dictation meets an idle writer, as in use
    }
}

double percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(share * double(values.size())))];
}

void BM_PastedDictationJournal(benchmark::State& state) {
    const int count = int(state.range(0));
    const bool idleWriter = state.range(1) != 0;
    const SeededHistory& history = historyOf(count);
    ApplicationSupportTranscriptHistoryStore store(history.options);
    if (store.loadEntries().size() != count) state.SkipWithError("the seeded history did not read back");
    QDateTime now = kSeededUntil;
    std::vector<double> held, ended, journaled, control;
    // Calls in which the thread waited, and calls in which it was preempted.
    std::map<const std::vector<double>*, std::pair<int, int>> switches;
    std::vector<TranscriptHistoryEntry> copies;
    copies.reserve(200);
    const auto timed = [&switches](std::vector<double>& samples, const auto& call) {
        rusage before{}, after{};
        getrusage(RUSAGE_THREAD, &before);
        QElapsedTimer busy;
        busy.start();
        call();
        samples.push_back(double(busy.nsecsElapsed()) / 1e6);
        getrusage(RUSAGE_THREAD, &after);
        auto& [waited, preempted] = switches[&samples];
        waited += after.ru_nvcsw > before.ru_nvcsw ? 1 : 0;
        preempted += after.ru_nivcsw > before.ru_nivcsw ? 1 : 0;
    };
    for (auto _ : state) {
        for (int dictation = 0; dictation < 200; ++dictation) {
            now = now.addSecs(30);
            TranscriptHistoryEntry entry{
                QUuid::createUuid(),
                now,
                QStringLiteral("Dictation %1 pasted into a chat, a sentence of ordinary length.").arg(dictation),
                3.5,
                11,
                TranscriptHistoryCompletionKind::pasteSentUnverified};
            // The same thread's cost of a copy of the entry: how much of the figures the machine's own
            // load makes.
            timed(control, [&] { copies.push_back(entry); });
            QElapsedTimer atRisk;
            atRisk.start();
            timed(held, [&] { store.hold(entry); });
            journaled.push_back(double(atRisk.nsecsElapsed()) / 1e6);
            if (idleWriter) store.waitUntilWritten();
            entry.completionKind = TranscriptHistoryCompletionKind::pastedViaClipboard;
            timed(ended, [&] { store.append(entry); });
            if (idleWriter) store.waitUntilWritten();
        }
    }
    store.waitUntilWritten();
    for (const auto& [name, samples] :
         {std::pair{"held", &held}, std::pair{"ended", &ended}, std::pair{"held_in_journal", &journaled},
          std::pair{"control_copy", &control}}) {
        state.counters[std::string(name) + "_p50_ms"] = percentile(*samples, 0.5);
        state.counters[std::string(name) + "_p99_ms"] = percentile(*samples, 0.99);
        state.counters[std::string(name) + "_max_ms"] = percentile(*samples, 1.0);
    }
    for (const auto& [name, samples] : {std::pair{"held", &held}, std::pair{"ended", &ended}}) {
        state.counters[std::string(name) + "_waited"] = switches[samples].first;
        state.counters[std::string(name) + "_preempted"] = switches[samples].second;
        state.counters[std::string(name) + "_over_1ms"] =
            double(std::count_if(samples->cbegin(), samples->cend(), [](double ms) { return ms > 1; }));
    }
}

void BM_ExportMainThreadStall(benchmark::State& state) {
    const int count = int(state.range(0));
    const SeededHistory& history = historyOf(count);
    auto chooser = std::make_shared<FixedChooser>();
    chooser->target = QDir(history.dir.path()).filePath(QStringLiteral("chosen.csv"));
    for (auto _ : state) {
        Dashboard dashboard(history, count);
        HistoryExporter exporter;
        exporter.setViewModel(dashboard.viewModel.get());
        exporter.setSaveLocationChooser(chooser);
        QFile::remove(chooser->target);
        QTimer heartbeat;  // wakes the loop every millisecond, so its turns show how busy the thread is
        heartbeat.start(1);

        QElapsedTimer clock;
        qint64 lastTurn = 0, longest = 0;
        const auto turn = [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - lastTurn);
            lastTurn = now;
        };
        clock.start();
        exporter.exportHistoryCSV();
        turn();
        while (!QFile::exists(chooser->target) && clock.elapsed() < 60'000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            turn();
        }
        state.SetIterationTime(double(longest) / 1e9);
        state.counters["export_total_ms"] = double(clock.nsecsElapsed()) / 1e6;
    }
}

double loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').value(0).toDouble() : -1;
}

}  // namespace

BENCHMARK(BM_DictationMainThread)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(300'000)
    ->Iterations(1)
    ->Repetitions(20)
    ->ComputeStatistics("max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); })
    ->ReportAggregatesOnly(true);

BENCHMARK(BM_PastedDictationJournal)
    ->Unit(benchmark::kMillisecond)
    ->Args({300'000, 1})
    ->Args({300'000, 0})
    ->Iterations(1);

BENCHMARK(BM_ExportMainThreadStall)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Arg(10'000)
    ->Arg(100'000)
    ->Iterations(1)
    ->Repetitions(5)
    ->ComputeStatistics("max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); })
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::AddCustomContext("load average (1 min) at start", std::to_string(loadAverage()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    dashboards.clear();
    return 0;
}
