// Time from startCapture() to the first converted buffer, recording the desktop test environment's
// microphone while a feeder writes 10 ms of audio every 10 ms into its FIFO, as a real microphone
// would deliver it. Run inside scripts/desktop-test-env.
#include "Platform/Linux/PulseAudioCaptureEngine.h"
#include "Platform/Linux/PulseAudioDeviceService.h"
#include "Services/Audio/AVAudioEngineCaptureService.h"
#include "Services/Audio/SoxrPcmConverter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace quorvelle;

void BM_CaptureStartToFirstConvertedBuffer(benchmark::State& state) {
    const QByteArray fifo = qgetenv("QUORVELLE_TEST_MIC_FIFO");
    if (fifo.isEmpty()) {
        state.SkipWithError("run inside scripts/desktop-test-env");
        return;
    }
    std::atomic<bool> feeding = true;
    std::thread feeder([&] {
        const int fd = ::open(fifo.constData(), O_WRONLY);
        const QByteArray tenMs(160 * 2, '\x10');
        while (feeding && fd >= 0) {
            if (::write(fd, tenMs.constData(), static_cast<size_t>(tenMs.size())) <= 0) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (fd >= 0) ::close(fd);
    });

    PulseAudioDeviceService devices;
    PulseAudioCaptureEngine engine;
    WAVFileEncoder encoder;
    AVAudioEngineCaptureService service(engine, AudioCaptureConfiguration{}, devices, encoder, &SoxrPcmConverter::make,
                                        CaptureDiagnosticLog(false));
    std::atomic<bool> converted = false;
    service.debugSnapshotPublisher().subscribe([&](const AudioCaptureDebugSnapshot& snapshot) {
        if (snapshot.observedConvertedBufferCount > 0) converted = true;
    });
    for (auto _ : state) {
        converted = false;
        QElapsedTimer timer;
        timer.start();
        service.startCapture();
        while (!converted && timer.elapsed() < 2000)
            QThread::usleep(200);
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        service.cancelCapture();
    }
    feeding = false;
    feeder.join();
}
BENCHMARK(BM_CaptureStartToFirstConvertedBuffer)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
