// A model file served at full speed by a local server: its download as the app makes it (the
// connection reader wired, the body hashed and written to disk), the same without the reader, and
// curl fetching the same answer from the same server into the same folder, for scale.
#include "Platform/Linux/TcpConnectionReading.h"
#include "RawAnswerServer.h"
#include "Services/Transcription/ModelFileDownload.h"
#include "TestEventLoop.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

using namespace quorvelle;

constexpr qint64 kSize = qint64(200) << 20;

void downloadAsTheAppDoes(benchmark::State& state) {
    test::RawAnswerServer server(test::RawAnswerServer::Framing::contentLength, kSize);
    QNetworkAccessManager network;
    QTemporaryDir folder;
    const bool withReader = state.range(0) != 0;
    for (auto _ : state) {
        ModelFileDownloadRequest request;
        request.url = server.url();
        request.destinationPath = folder.filePath(QStringLiteral("model.bin"));
        if (withReader) request.connections = std::make_shared<TcpConnectionReading>();
        const DownloadedFile file = test::runTask(downloadModelFile(&network, std::move(request), {}));
        if (file.byteCount != kSize) state.SkipWithError("the download did not arrive whole");
    }
    state.SetBytesProcessed(state.iterations() * kSize);
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

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
