// A model file served at full speed by a local server: its download as the app makes it (the
// connection reader wired, the body hashed and written to disk), the same without the reader, and
// curl fetching the same answer from the same server into the same folder, for scale.
// gui_longest_gap_ms: the longest the main thread went without turning its event loop during a
// download (a timer wakes it every millisecond). Goal: never over 16 ms, and at least half of curl's
// throughput. gui_longest_gap_busy_ms: the processor time the main thread spent within that gap;
// the rest of it, the thread waited for a processor (the machine's load) or for a lock. The load
// average at the start is printed with the figures: they mean little without it.
#include "Platform/Linux/TcpConnectionReading.h"
#include "RawAnswerServer.h"
#include "Services/Transcription/ModelFileDownload.h"
#include "TestEventLoop.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <time.h>

#include <algorithm>

namespace {

using namespace quorvelle;

constexpr qint64 kSize = qint64(200) << 20;

qint64 threadProcessorTime() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

void downloadAsTheAppDoes(benchmark::State& state) {
    test::RawAnswerServer server(test::RawAnswerServer::Framing::contentLength, kSize);
    QNetworkAccessManager network;
    QTemporaryDir folder;
    const bool withReader = state.range(0) != 0;
    QElapsedTimer clock;
    qint64 lastTurn = 0, longest = 0, lastBusy = 0, longestBusy = 0;
    const auto turn = [&] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 busy = threadProcessorTime();
        if (now - lastTurn > longest) {
            longest = now - lastTurn;
            longestBusy = busy - lastBusy;
        }
        lastTurn = now;
        lastBusy = busy;
    };
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, turn);
    heartbeat.start(1);
    clock.start();
    for (auto _ : state) {
        ModelFileDownloadRequest request;
        request.url = server.url();
        request.destinationPath = folder.filePath(QStringLiteral("model.bin"));
        if (withReader) request.connections = std::make_shared<TcpConnectionReading>();
        lastTurn = clock.nsecsElapsed();
        lastBusy = threadProcessorTime();
        const DownloadedFile file = test::runTask(downloadModelFile(&network, std::move(request), {}));
        turn();
        if (file.byteCount != kSize) state.SkipWithError("the download did not arrive whole");
    }
    state.SetBytesProcessed(state.iterations() * kSize);
    state.counters["gui_longest_gap_ms"] = double(longest) / 1e6;
    state.counters["gui_longest_gap_busy_ms"] = double(longestBusy) / 1e6;
}
BENCHMARK(downloadAsTheAppDoes)->ArgName("reader")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void curlFromTheSameServer(benchmark::State& state) {
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    if (curl.isEmpty()) {
        state.SkipWithError("curl is not installed");
        return;
    }
    test::RawAnswerServer server(test::RawAnswerServer::Framing::contentLength, kSize);
    QTemporaryDir folder;
    for (auto _ : state) {
        QProcess process;
        process.start(curl, {QStringLiteral("-sS"), QStringLiteral("-o"), folder.filePath(QStringLiteral("model.bin")),
                             server.url().toString()});
        if (!process.waitForFinished(120'000) || process.exitCode() != 0) state.SkipWithError("curl failed");
    }
    state.SetBytesProcessed(state.iterations() * kSize);
}
BENCHMARK(curlFromTheSameServer)->Unit(benchmark::kMillisecond)->UseRealTime();

double loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').value(0).toDouble() : -1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::AddCustomContext("load average (1 min) at start", std::to_string(loadAverage()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
