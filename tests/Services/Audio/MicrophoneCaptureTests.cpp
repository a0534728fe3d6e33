// Records the private desktop's test microphone (a PulseAudio pipe source) for real.
#include "FifoWriter.h"
#include "PipeMicrophone.h"
#include "Platform/Linux/PulseAudioCaptureEngine.h"
#include "Platform/Linux/PulseAudioDeviceService.h"
#include "Services/Audio/AVAudioEngineCaptureService.h"
#include "Services/Audio/SoxrPcmConverter.h"
#include "TestEventLoop.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

namespace quorvelle {
namespace {

// Forwards to the real engine and counts the frames its tap hands over.
class CountingEngine final : public AudioCaptureEngineRunning {
public:
    explicit CountingEngine(AudioCaptureEngineRunning& inner) : m_inner(inner) {}
    std::atomic<std::uint64_t> frames = 0;

    void setInputDevice(std::uint32_t id) override { m_inner.setInputDevice(id); }
    AudioStreamFormat inputFormat(int bus) override { return m_inner.inputFormat(bus); }
    void installTap(int bus, std::uint32_t size, const AudioStreamFormat& format, TapBlock block) override {
        m_inner.installTap(bus, size, format, [this, block](const AudioPcmBuffer& buffer) {
            frames += buffer.frameLength;
            block(buffer);
        });
    }
    void removeTap(int bus) override { m_inner.removeTap(bus); }
    void prepare() override { m_inner.prepare(); }
    void start() override { m_inner.start(); }
    void stop() override { m_inner.stop(); }

private:
    AudioCaptureEngineRunning& m_inner;
};

// Writes bytes into a FIFO from another thread (the write blocks while the pipe is full).
void feed(const QString& fifo, const QByteArray& bytes) {
    std::thread([path = fifo.toStdString(), bytes] { test::writeToFifo(path, bytes); }).detach();
}

QByteArray pcmOfClip(const CapturedAudioClip& clip) {
    return clip.data.mid(44);
}

class MicrophoneCapture : public ::testing::Test {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
        engine = std::make_unique<PulseAudioCaptureEngine>();
        counting = std::make_unique<CountingEngine>(*engine);
        service =
            std::make_unique<AVAudioEngineCaptureService>(*counting, AudioCaptureConfiguration{}, devices, encoder,
                                                          &SoxrPcmConverter::make, CaptureDiagnosticLog(false));
    }

    // Captures while `bytes` go through the FIFO and returns the clip once every frame arrived.
    CapturedAudioClip captureFed(const QByteArray& bytes, const QString& path, std::uint64_t expectedFrames) {
        counting->frames = 0;
        service->startCapture();
        feed(path, bytes);
        EXPECT_TRUE(test::waitUntil([&] { return counting->frames >= expectedFrames; }, 15000))
            << counting->frames << " of " << expectedFrames << " frames arrived";
        return service->stopCapture();
    }

    PulseAudioDeviceService devices;
    WAVFileEncoder encoder;
    std::unique_ptr<PulseAudioCaptureEngine> engine;
    std::unique_ptr<CountingEngine> counting;
    std::unique_ptr<AVAudioEngineCaptureService> service;
};

TEST_F(MicrophoneCapture, TestMicrophoneIsListedAsTheDefaultWithTheServersNumber) {
    const auto server = PulseAudioDeviceService::queryServer();
    ASSERT_TRUE(server);
    EXPECT_EQ(server->defaultSourceName, QStringLiteral("testmic"));
    const auto list = devices.inputDevices();
    const auto it = std::find_if(list.begin(), list.end(), [](const auto& d) { return d.uid == "testmic"; });
    ASSERT_NE(it, list.end());
    EXPECT_EQ(it->name, QStringLiteral("TestMic"));
    EXPECT_TRUE(it->isDefault);
    EXPECT_EQ(it->id, server->sourceIndexByName.value(QStringLiteral("testmic")));
}

// A stereo 44.1 kHz microphone whose right channel carries the signal: the capture must take the
// right channel and bring it to 16 kHz.
TEST_F(MicrophoneCapture, StereoDeviceAtAnotherRateIsResampledFromItsLoudestChannel) {
    QTemporaryDir dir;
    const QString stereoFifo = dir.filePath(QStringLiteral("stereo.fifo"));
    const QByteArray module =
        test::loadPipeMicrophone(QStringLiteral("stereomic"), stereoFifo, QStringLiteral("StereoMic"), 44100, 2);
    ASSERT_FALSE(module.isEmpty()) << "could not add a stereo test microphone";
    const auto unload = qScopeGuard([&] { test::unloadPipeMicrophone(module); });
    ASSERT_TRUE(test::waitUntil([&] {
        for (const auto& d : devices.inputDevices()) {
            if (d.uid == QLatin1String("stereomic")) return true;
        }
        return false;
    }));

    constexpr int frames = 44100;
    QByteArray stereo(frames * 4, '\0');
    for (int i = 0; i < frames; ++i) {
        const auto right = static_cast<std::int16_t>(16000 * std::sin(2 * M_PI * 440 * i / 44100.0));
        std::memcpy(stereo.data() + 4 * i + 2, &right, 2);
    }
    service->setPreferredInputDevice(QStringLiteral("stereomic"));
    const CapturedAudioClip clip = captureFed(stereo, stereoFifo, frames);
    const auto snapshot = service->debugSnapshot();
    EXPECT_TRUE(snapshot.inputFormatSummary.startsWith(QStringLiteral("44100 Hz, 2 ch")))
        << snapshot.inputFormatSummary.toStdString();
    ASSERT_EQ(snapshot.observedInputChannelPeakMagnitudes.size(), 2u);
    EXPECT_EQ(snapshot.observedInputChannelPeakMagnitudes[0], 0.0);
    EXPECT_NEAR(snapshot.observedInputChannelPeakMagnitudes[1], 16000.0 / 32767.0, 0.01);

    // One second at 44.1 kHz is about 16,000 frames at 16 kHz, less the resampler's delay.
    const QByteArray pcm = pcmOfClip(clip);
    EXPECT_GT(pcm.size() / 2, 15000);
    EXPECT_LE(pcm.size() / 2, 16000);
    std::int16_t peak = 0;
    for (qsizetype i = 0; i + 1 < pcm.size(); i += 2) {
        std::int16_t v;
        std::memcpy(&v, pcm.constData() + i, 2);
        peak = std::max<std::int16_t>(peak, static_cast<std::int16_t>(std::abs(v)));
    }
    EXPECT_NEAR(peak, 16000, 800);
}

}  // namespace
}  // namespace quorvelle
