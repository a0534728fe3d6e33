// One on-device transcription of 5 s of audio through the app's own runtime and the real whisper.cpp
// engine, so every setting (flash attention, sampling, thread count) is the app's. The model is the
// tiny random-weight one the tests write, or the ggml file named by QUORVELLE_BENCH_MODEL. Swept over
// thread counts; the count the app picks on this machine is marked "(app)". The first run of each
// count loads the model and is reported on its own as load_ms.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include "Services/Transcription/EmbeddedWhisperRuntime.h"
#include "Services/Transcription/WhisperEngine.h"
#include "TestEventLoop.h"
#include "TinyWhisperModel.h"
#include "TranscriptionTestSupport.h"

#include <cmath>
#include <numbers>
#include <set>
#include <vector>

namespace {

using namespace quorvelle;

CapturedAudioClip fiveSecondsOfTone() {
    std::vector<int16_t> samples(5 * 16000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t(3000.0 * std::sin(2.0 * std::numbers::pi * 220.0 * double(i) / 16000.0));
    return test::wavClip(samples);
}

QString transcribe(EmbeddedWhisperRuntime& runtime, const CapturedAudioClip& clip, const QString& modelPath) {
    try {
        return test::runTask(runtime.transcribe(clip, LocalTranscriptionModelID::tinyMultilingual, modelPath,
                                                QStringLiteral("en"), LocalWhisperAccelerationMode::cpu, std::nullopt));
    } catch (const std::exception&) {
        // Silence or an empty result from random weights still ran the whole model.
        return {};
    }
}

void transcribeFiveSeconds(benchmark::State& state, QString modelPath, int threads) {
    EmbeddedWhisperRuntime runtime(makeInstalledWhisperEngine(), threads);
    const CapturedAudioClip clip = fiveSecondsOfTone();
    QElapsedTimer loading;
    loading.start();
    transcribe(runtime, clip, modelPath);
    state.counters["load_ms"] = double(loading.nsecsElapsed()) / 1e6;
    for (auto _ : state)
        benchmark::DoNotOptimize(transcribe(runtime, clip, modelPath));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (!makeInstalledWhisperEngine()) {
        qWarning("this build has no whisper.cpp engine");
        return 1;
    }
    QTemporaryDir directory;
    QString modelPath = qEnvironmentVariable("QUORVELLE_BENCH_MODEL");
    if (modelPath.isEmpty()) {
        modelPath = directory.filePath(QStringLiteral("ggml-tiny.bin"));
        if (!test::writeTinyRandomWhisperModel(modelPath)) return 1;
    }
    const int processors = QThread::idealThreadCount();
    const int chosen = EmbeddedWhisperRuntime::threadCountFor(processors);
    std::set<int> counts{1, 2, chosen, processors};
    if (processors > 1) counts.insert(processors - 1);  // the count the app used before
    for (const int threads : counts) {
        const QString name = QStringLiteral("transcribeFiveSeconds/threads:%1%2")
                                 .arg(threads)
                                 .arg(threads == chosen ? QStringLiteral(" (app)") : QString());
        benchmark::RegisterBenchmark(name.toUtf8().constData(), transcribeFiveSeconds, modelPath, threads)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
