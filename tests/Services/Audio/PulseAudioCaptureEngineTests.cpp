// The libpulse engine under the capture service, against a pipe microphone added for each test.
#include "PipeMicrophone.h"
#include "Platform/Linux/PulseAudioCaptureEngine.h"
#include "Platform/Linux/PulseAudioDeviceService.h"
#include "Services/Audio/AVAudioEngineCaptureService.h"
#include "Services/Audio/AudioCaptureError.h"
#include "Services/Audio/PCM16WAVDecoder.h"
#include "Services/Audio/SoxrPcmConverter.h"
#include "TestEventLoop.h"

#include <QScopeGuard>
#include <QTemporaryDir>

#include <gmock/gmock.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

namespace quorvelle {
namespace {

using namespace testing;

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

class PulseAudioCaptureEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    }
    void TearDown() override {
        if (!module.isEmpty()) test::unloadPipeMicrophone(module);
        if (feeder.joinable()) feeder.join();
    }

    // Adds the spare microphone and waits until it is listed.
    void addMicrophone(int rate = 16000, int channels = 1) {
        module = test::loadPipeMicrophone("sparemic", dir.filePath("spare.fifo"), "SpareMic", rate, channels);
        ASSERT_FALSE(module.isEmpty()) << "could not add the spare microphone";
        ASSERT_TRUE(test::waitUntil([&] { return listed(); }));
    }
    bool listed() const {
        const auto list = devices.inputDevices();
        return std::any_of(list.begin(), list.end(), [](const auto& d) { return d.uid == "sparemic"; });
    }

    // Writes into the spare microphone from another thread (the write blocks while the pipe is full).
    void feed(const QByteArray& bytes) {
        if (feeder.joinable()) feeder.join();
        feeder = std::thread([path = dir.filePath("spare.fifo"), bytes] {
            QFile fifo(path);
            if (fifo.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) fifo.write(bytes);
        });
    }

    QTemporaryDir dir;
    QByteArray module;
    std::thread feeder;
    PulseAudioDeviceService devices;
    WAVFileEncoder encoder;
    PulseAudioCaptureEngine engine;
};

// A stereo 44.1 kHz microphone whose right channel carries the signal.
TEST_F(PulseAudioCaptureEngineTest, AStereoDeviceAtAnotherRateIsResampledFromItsLoudestChannel) {
    ASSERT_NO_FATAL_FAILURE(addMicrophone(44100, 2));
    CountingEngine counting(engine);
    AVAudioEngineCaptureService service(counting, AudioCaptureConfiguration{}, devices, encoder,
                                        &SoxrPcmConverter::make, CaptureDiagnosticLog(false));
    constexpr int frames = 44100;
    QByteArray stereo(frames * 4, '\0');
    for (int i = 0; i < frames; ++i) {
        const auto right = static_cast<std::int16_t>(16000 * std::sin(2 * M_PI * 440 * i / 44100.0));
        std::memcpy(stereo.data() + 4 * i + 2, &right, 2);
    }
    service.setPreferredInputDevice("sparemic");
    service.startCapture();
    feed(stereo);
    EXPECT_TRUE(test::waitUntil([&] { return counting.frames >= frames; }, 60000)) << counting.frames << " frames";
    const std::vector<float> pcm = PCM16WAVDecoder::decode(service.stopCapture().data);
    const auto snapshot = service.debugSnapshot();
    EXPECT_TRUE(snapshot.inputFormatSummary.startsWith("44100 Hz, 2 ch")) << snapshot.inputFormatSummary.toStdString();
    ASSERT_EQ(snapshot.observedInputChannelPeakMagnitudes.size(), 2u);
    EXPECT_EQ(snapshot.observedInputChannelPeakMagnitudes[0], 0.0);
    EXPECT_NEAR(snapshot.observedInputChannelPeakMagnitudes[1], 16000.0 / 32767.0, 0.01);

    // One second at 44.1 kHz is about 16,000 frames at 16 kHz, less the resampler's delay.
    EXPECT_GT(pcm.size(), 15000u);
    EXPECT_LE(pcm.size(), 16000u);
    EXPECT_NEAR(*std::max_element(pcm.begin(), pcm.end()), 16000 / 32767.0, 800 / 32767.0);
}

TEST_F(PulseAudioCaptureEngineTest, AMicrophoneThatVanishesFailsTheStopWithTheReasonAndTheNextCaptureWorks) {
    AVAudioEngineCaptureService service(engine, AudioCaptureConfiguration{}, devices, encoder, &SoxrPcmConverter::make,
                                        CaptureDiagnosticLog(false));
    ASSERT_NO_FATAL_FAILURE(addMicrophone());
    service.setPreferredInputDevice("sparemic");
    service.startCapture();
    feed(QByteArray(6400, 16));
    ASSERT_TRUE(test::waitUntil([&] { return service.debugSnapshot().observedConvertedBufferCount > 0; }));

    test::unloadPipeMicrophone(module);
    module.clear();
    ASSERT_TRUE(test::waitUntil([&] { return engine.runFailure().has_value(); }));
    EXPECT_THAT([&] { service.stopCapture(); },
                Throws<AudioCaptureError>(
                    AllOf(Property(&AudioCaptureError::errorCase, AudioCaptureErrorCase::engineStartFailed),
                          Property(&AudioCaptureError::what, HasSubstr("sparemic went away during the recording")))));
    EXPECT_FALSE(service.isCapturing());

    // The choice is gone: the next dictation records the default microphone, cleanly.
    ASSERT_TRUE(test::waitUntil([&] { return !listed(); }));
    service.startCapture();
    EXPECT_FALSE(engine.runFailure());
    EXPECT_TRUE(service.debugSnapshot().resolvedDeviceLabel.startsWith("TestMic"));
    EXPECT_NO_THROW(service.stopCapture());
}

TEST(PulseAudioCaptureEngineWithoutServer, StartFailsWithTheReasonInsteadOfHanging) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    QTemporaryDir dir;
    const QByteArray saved = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(dir.filePath("none")));
    const auto restore = qScopeGuard([&] { qputenv("PULSE_SERVER", saved); });
    PulseAudioCaptureEngine engine;
    EXPECT_THROW(engine.setInputDevice(0), std::runtime_error);
    engine.installTap(0, 1024, engine.inputFormat(0), [](const AudioPcmBuffer&) {});
    EXPECT_THAT([&] { engine.start(); }, ThrowsMessage<std::runtime_error>(HasSubstr("no sound server")));
}

// Buffers reach the tap inside a libpulse callback.
TEST(PulseAudioCaptureEngineDelivery, ATapThatThrowsLosesOnlyItsBufferAndSplitFramesArriveWhole) {
    PulseAudioCaptureEngine engine;
    std::vector<std::uint32_t> received;
    engine.installTap(0, 4, AudioStreamFormat{AudioCommonFormat::int16, 16000, 1, true},
                      [&](const AudioPcmBuffer& buffer) {
                          received.push_back(buffer.frameLength);
                          if (received.size() == 1) throw std::bad_alloc();
                      });
    const QByteArray bytes(11 * 2, '\1');
    engine.deliver(bytes.constData(), 3 * 2);
    engine.deliver(bytes.constData(), 5 * 2 + 1);
    engine.deliver(bytes.constData(), 1);
    EXPECT_EQ(received, (std::vector<std::uint32_t>{3, 4, 1, 1}));
    engine.removeTap(0);
}

}  // namespace
}  // namespace quorvelle
