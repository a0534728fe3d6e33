// One on-device transcription of 5 s of audio by the real whisper.cpp engine, with the tiny
// random-weight model the tests write, on the processor with the runtime's thread count. The model is
// loaded once, as the runtime keeps it; its load time is reported on its own. Run with the runtime's
// thread count (all processors but one) and with one thread.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include "Services/Transcription/WhisperEngine.h"
#include "TinyWhisperModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

using namespace quorvelle;

void transcribeFiveSeconds(benchmark::State& state, int threads) {
    const std::shared_ptr<WhisperEngine> engine = makeInstalledWhisperEngine();
    QTemporaryDir directory;
    const QString modelPath = directory.filePath(QStringLiteral("ggml-tiny.bin"));
    if (!test::writeTinyRandomWhisperModel(modelPath)) {
        state.SkipWithError("cannot write the model");
        return;
    }
    WhisperContextParams contextParams = engine->contextDefaultParams();
    contextParams.useGpu = false;
    QElapsedTimer loading;
    loading.start();
    WhisperContext* context = engine->initFromFileWithParams(modelPath, contextParams);
    const double loadMilliseconds = double(loading.nsecsElapsed()) / 1e6;
    if (!context) {
        state.SkipWithError("the model does not load");
        return;
    }

    WhisperFullParams params = engine->fullDefaultParams(WhisperSamplingStrategy::greedy);
    params.nThreads = threads;
    params.noTimestamps = true;
    params.printProgress = false;
    params.printTimestamps = false;
    params.language = QByteArray("auto");
    std::vector<float> samples(5 * 16000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.1f * float(std::sin(2.0 * std::numbers::pi * 220.0 * double(i) / 16000.0));

    for (auto _ : state) {
        if (engine->full(context, params, samples.data(), int(samples.size()), {}) != 0) {
            state.SkipWithError("the run failed");
            break;
        }
        benchmark::DoNotOptimize(engine->fullNSegments(context));
    }
    state.counters["load_ms"] = loadMilliseconds;
    engine->free(context);
}
}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    for (const int threads : {std::max(1, QThread::idealThreadCount() - 1), 1}) {
        benchmark::RegisterBenchmark(
            QStringLiteral("transcribeFiveSeconds/threads:%1").arg(threads).toUtf8().constData(), transcribeFiveSeconds,
            threads)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
