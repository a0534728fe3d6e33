#include "Services/Audio/AVAudioEngineCaptureService.h"
#include "Services/Audio/AudioCaptureError.h"

#include <gmock/gmock.h>

#include <future>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace quorvelle {
namespace {

using Samples = std::vector<std::int16_t>;

// Microphones, and taps the test calls by hand; records what the service asked of it.
class ScriptedCaptureEngine final : public AudioCaptureEngineRunning, public AudioDeviceListing {
public:
    QList<AudioDeviceInfo> inputDevices() const override {
        return {{4, "usb", "USB Mic", false}, {2, "builtin", "Built-in", true}};
    }
    AudioStreamFormat format{AudioCommonFormat::int16, 16000, 1, true};
    bool failStart = false, failDeviceSelection = false;
    std::optional<std::uint32_t> selectedDevice, tapBufferSize;

    void setInputDevice(std::uint32_t deviceId) override {
        if (failDeviceSelection) throw std::runtime_error("refused");
        selectedDevice = deviceId;
    }
    AudioStreamFormat inputFormat(int) override { return format; }
    void installTap(int, std::uint32_t bufferSize, const AudioStreamFormat&, TapBlock block) override {
        std::lock_guard guard(m_mutex);
        tapBufferSize = bufferSize;
        m_taps.push_back(std::move(block));
    }
    void removeTap(int) override {
        std::lock_guard guard(m_mutex);
        tapBufferSize.reset();
    }
    void prepare() override {}
    void start() override {
        if (failStart) throw std::runtime_error("no engine");
    }
    void stop() override {}

    // Through the installed tap, or the n-th one ever installed (a buffer in flight when its capture ended).
    void deliver(const Samples& samples, std::optional<std::size_t> tapIndex = std::nullopt) {
        const QByteArray bytes(reinterpret_cast<const char*>(samples.data()), qsizetype(samples.size() * 2));
        TapBlock tap;
        {
            std::lock_guard guard(m_mutex);
            if (!tapIndex && tapBufferSize) tapIndex = m_taps.size() - 1;
            if (tapIndex && *tapIndex < m_taps.size()) tap = m_taps[*tapIndex];
        }
        if (tap) tap(AudioPcmBuffer{format, static_cast<std::uint32_t>(samples.size()), {bytes}});
    }

    std::size_t lastTap() const { return m_taps.size() - 1; }

private:
    std::mutex m_mutex;
    std::vector<TapBlock> m_taps;
};

class PassThroughConverter final : public PCMBufferConverting {
public:
    std::function<void()> duringConvert;
    std::optional<AudioPcmBuffer> convert(const AudioPcmBuffer& input, const AudioStreamFormat& output,
                                          std::uint32_t) override {
        if (duringConvert) duringConvert();
        return AudioPcmBuffer{output, input.frameLength, input.blocks};
    }
};

Samples samplesOf(const CapturedAudioClip& clip) {
    const auto* first = reinterpret_cast<const std::int16_t*>(clip.data.constData() + 44);
    return Samples(first, first + (clip.data.size() - 44) / 2);
}

auto fails(AudioCaptureErrorCase errorCase) {
    return testing::Throws<AudioCaptureError>(testing::Property(&AudioCaptureError::errorCase, errorCase));
}

class CaptureServiceTest : public ::testing::Test {
protected:
    ScriptedCaptureEngine engine;
    WAVFileEncoder encoder;
    std::shared_ptr<PassThroughConverter> converter = std::make_shared<PassThroughConverter>();
    std::unique_ptr<AVAudioEngineCaptureService> service = std::make_unique<AVAudioEngineCaptureService>(
        engine, AudioCaptureConfiguration{}, engine, encoder,
        [this](const AudioStreamFormat&, const AudioStreamFormat&) -> std::shared_ptr<PCMBufferConverting> {
            return converter;
        },
        CaptureDiagnosticLog(false));
};

TEST_F(CaptureServiceTest, RecordsConvertedAudioIntoAWavClipAndPublishesLevelsPerBuffer) {
    std::vector<AudioLevelSnapshot> levels;
    service->levelPublisher().subscribe([&](const AudioLevelSnapshot& level) { levels.push_back(level); });
    service->startCapture();
    EXPECT_TRUE(service->isCapturing());
    EXPECT_EQ(engine.selectedDevice, 2u);  // the flagged default
    EXPECT_EQ(engine.tapBufferSize, 1024u);
    engine.deliver({0, 0, 0});
    engine.deliver({-200, 32767});
    const CapturedAudioClip clip = service->stopCapture();
    EXPECT_FALSE(service->isCapturing());
    EXPECT_EQ(samplesOf(clip), (Samples{0, 0, 0, -200, 32767}));
    EXPECT_DOUBLE_EQ(clip.duration, 5.0 / 16000.0);  // frames, not wall-clock time

    ASSERT_EQ(levels.size(), 5u);  // initial, start, two buffers, stop
    EXPECT_EQ(levels[2].peakPower, 0.0);
    EXPECT_EQ(levels[3].peakPower, 1.0);
    EXPECT_EQ(levels[4], AudioLevelSnapshot::silent(12));
    EXPECT_EQ(engine.tapBufferSize, std::nullopt);
}

TEST_F(CaptureServiceTest, StartStopAndCancelInEveryOrder) {
    EXPECT_THAT([&] { service->stopCapture(); }, fails(AudioCaptureErrorCase::captureNotRunning));
    service->cancelCapture();  // harmless when idle

    service->startCapture();
    engine.deliver({5, 6});
    EXPECT_THAT([&] { service->startCapture(); }, fails(AudioCaptureErrorCase::captureAlreadyRunning));
    engine.deliver({7});  // the running capture is intact
    service->cancelCapture();
    EXPECT_FALSE(service->isCapturing());
    EXPECT_EQ(service->levelPublisher().value(), AudioLevelSnapshot::silent(12));
    EXPECT_THAT([&] { service->stopCapture(); }, fails(AudioCaptureErrorCase::captureNotRunning));

    // A fresh capture after a cancel starts empty; buffers of an ended session never reach a later one.
    service->startCapture();
    engine.deliver({9});
    const auto clip = service->stopCapture();
    engine.deliver({3, 4}, 1);  // arrived after stop
    EXPECT_EQ(service->debugSnapshot().observedInputBufferCount, 1);
    service->startCapture();
    engine.deliver({8}, 1);
    EXPECT_TRUE(samplesOf(service->stopCapture()).empty());
    EXPECT_EQ(samplesOf(clip), Samples{9});
}

TEST_F(CaptureServiceTest, TheChosenMicrophoneOrTheDefaultAndStartFailuresLeaveTheServiceIdle) {
    // "USB" is unplugged (ids differ in case): the default is then set explicitly.
    for (const auto& [uid, device] : {std::pair("usb", 4u), std::pair("USB", 2u)}) {
        service->setPreferredInputDevice(uid);
        service->startCapture();
        EXPECT_EQ(engine.selectedDevice, device);
        service->cancelCapture();
    }
    engine.failDeviceSelection = true;
    EXPECT_THAT([&] { service->startCapture(); }, fails(AudioCaptureErrorCase::inputDeviceSelectionFailed));
    EXPECT_FALSE(service->isCapturing());

    std::tie(engine.failDeviceSelection, engine.failStart) = std::pair(false, true);
    EXPECT_THAT([&] { service->startCapture(); }, fails(AudioCaptureErrorCase::engineStartFailed));
    EXPECT_FALSE(service->isCapturing());
    EXPECT_EQ(engine.tapBufferSize, std::nullopt);
    engine.deliver({1}, engine.lastTap());
    EXPECT_EQ(service->debugSnapshot().observedInputBufferCount, 0);

    engine.failStart = false;
    converter = nullptr;
    EXPECT_THAT([&] { service->startCapture(); }, fails(AudioCaptureErrorCase::converterUnavailable));
    engine.format = AudioStreamFormat{AudioCommonFormat::int16, 0, 2, true};
    EXPECT_THAT([&] { service->startCapture(); }, fails(AudioCaptureErrorCase::converterUnavailable));
}

// A tap call past its session check when stop releases the converter must find it alive until it ends.
TEST_F(CaptureServiceTest, StopWhileATapCallIsConvertingKeepsTheConverterAlive) {
    std::promise<void> converting, mayFinish;
    const std::weak_ptr<PassThroughConverter> alive = converter;
    converter->duringConvert = [&, finish = mayFinish.get_future().share()] {
        converting.set_value();
        finish.wait();
    };
    service->startCapture();
    converter.reset();  // the service and the tap hold the only references now
    std::thread audioThread([&] { engine.deliver({1, 2, 3}); });
    converting.get_future().wait();
    service->cancelCapture();
    EXPECT_FALSE(alive.expired());
    mayFinish.set_value();
    audioThread.join();
    EXPECT_TRUE(alive.expired());
}

}  // namespace
}  // namespace quorvelle
