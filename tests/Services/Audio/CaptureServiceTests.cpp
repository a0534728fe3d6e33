#include "ScriptedCaptureEngine.h"
#include "Services/Audio/AVAudioEngineCaptureService.h"
#include "Services/Audio/AudioCaptureError.h"
#include "Services/Audio/PCM16WAVDecoder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <thread>

namespace quorvelle {
namespace {

using test::FixedDeviceList;
using test::ScriptedCaptureEngine;

// Passes mono input through as 16-bit samples (scaling floats).
class RecordingConverter final : public PCMBufferConverting {
public:
    std::function<void()> duringConvert;
    std::atomic<bool>* destroyed = nullptr;
    ~RecordingConverter() override {
        if (destroyed) *destroyed = true;
    }
    std::optional<AudioPcmBuffer> convert(const AudioPcmBuffer& input, const AudioStreamFormat& output,
                                          std::uint32_t) override {
        if (duringConvert) duringConvert();
        AudioPcmBuffer result{output, input.frameLength, {QByteArray()}};
        QByteArray& bytes = result.blocks.front();
        for (std::uint32_t i = 0; i < input.frameLength; ++i) {
            std::int16_t sample = 0;
            if (input.format.commonFormat == AudioCommonFormat::int16) {
                std::memcpy(&sample, input.blocks.front().constData() + 2 * i, 2);
            } else {
                float value = 0;
                std::memcpy(&value, input.blocks.front().constData() + 4 * i, 4);
                sample = static_cast<std::int16_t>(value * 32767.0f);
            }
            bytes.append(reinterpret_cast<const char*>(&sample), 2);
        }
        return result;
    }
};

AudioPcmBuffer int16Buffer(const std::vector<std::int16_t>& samples, int channels = 1, double rate = 16000) {
    QByteArray bytes(static_cast<qsizetype>(samples.size() * 2), Qt::Uninitialized);
    std::memcpy(bytes.data(), samples.data(), static_cast<size_t>(bytes.size()));
    return AudioPcmBuffer{AudioStreamFormat{AudioCommonFormat::int16, rate, channels, true},
                          static_cast<std::uint32_t>(samples.size() / static_cast<std::size_t>(channels)),
                          {bytes}};
}

std::vector<std::int16_t> samplesOf(const CapturedAudioClip& clip) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>((clip.data.size() - 44) / 2));
    std::memcpy(samples.data(), clip.data.constData() + 44, samples.size() * 2);
    return samples;
}

AudioCaptureErrorCase failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const AudioCaptureError& error) {
        return error.errorCase();
    }
    ADD_FAILURE() << "no AudioCaptureError";
    return AudioCaptureErrorCase::captureAlreadyRunning;
}

class CaptureServiceTest : public ::testing::Test {
protected:
    ScriptedCaptureEngine engine;
    FixedDeviceList devices;
    WAVFileEncoder encoder;
    std::shared_ptr<RecordingConverter> converter = std::make_shared<RecordingConverter>();
    std::unique_ptr<AVAudioEngineCaptureService> service;

    void SetUp() override {
        devices.devices = {{4, QStringLiteral("usb"), QStringLiteral("USB Mic"), false},
                           {2, QStringLiteral("builtin"), QStringLiteral("Built-in"), true}};
        service = makeService(CaptureDiagnosticLog(false));
    }

    std::unique_ptr<AVAudioEngineCaptureService> makeService(CaptureDiagnosticLog log) {
        return std::make_unique<AVAudioEngineCaptureService>(
            engine, AudioCaptureConfiguration{}, devices, encoder,
            [this](const AudioStreamFormat&, const AudioStreamFormat&) -> std::shared_ptr<PCMBufferConverting> {
                return converter;
            },
            std::move(log));
    }
};

TEST_F(CaptureServiceTest, RecordsConvertedAudioIntoAWavClip) {
    service->startCapture();
    EXPECT_TRUE(service->isCapturing());
    EXPECT_EQ(engine.selectedDevice, 2u);  // the flagged default
    engine.deliver(int16Buffer({100, -200, 300}));
    engine.deliver(int16Buffer({0, 32767}));
    const CapturedAudioClip clip = service->stopCapture();
    EXPECT_FALSE(service->isCapturing());
    EXPECT_EQ(samplesOf(clip), (std::vector<std::int16_t>{100, -200, 300, 0, 32767}));
    EXPECT_DOUBLE_EQ(clip.duration, 5.0 / 16000.0);  // frames, not wall-clock time
    EXPECT_EQ(PCM16WAVDecoder::decode(clip.data).size(), 5u);

    const auto snapshot = service->debugSnapshot();
    EXPECT_EQ(snapshot.observedInputBufferCount, 2);
    EXPECT_EQ(snapshot.resolvedDeviceLabel, QStringLiteral("Built-in [id 2, uid builtin]"));
    EXPECT_EQ(engine.calls.filter(QStringLiteral("installTap")).value(0), QStringLiteral("installTap 1024"));
}

TEST_F(CaptureServiceTest, StartStopAndCancelInEveryOrder) {
    EXPECT_EQ(failureOf([&] { service->stopCapture(); }), AudioCaptureErrorCase::captureNotRunning);
    service->cancelCapture();  // harmless when idle
    EXPECT_EQ(service->levelPublisher().value(), AudioLevelSnapshot::silent(12));

    service->startCapture();
    engine.deliver(int16Buffer({5, 6}));
    EXPECT_EQ(failureOf([&] { service->startCapture(); }), AudioCaptureErrorCase::captureAlreadyRunning);
    engine.deliver(int16Buffer({7}));  // the running capture is intact
    service->cancelCapture();
    EXPECT_FALSE(service->isCapturing());
    EXPECT_EQ(service->levelPublisher().value(), AudioLevelSnapshot::silent(12));
    EXPECT_EQ(failureOf([&] { service->stopCapture(); }), AudioCaptureErrorCase::captureNotRunning);

    // A fresh capture after a cancel starts empty.
    service->startCapture();
    engine.deliver(int16Buffer({9}));
    EXPECT_EQ(samplesOf(service->stopCapture()), (std::vector<std::int16_t>{9}));
    service->startCapture();
    EXPECT_TRUE(samplesOf(service->stopCapture()).empty());
}

TEST_F(CaptureServiceTest, BuffersOfAnEndedSessionAreIgnored) {
    service->startCapture();
    engine.deliver(int16Buffer({1, 2}));
    const auto clip = service->stopCapture();
    engine.deliverLate(0, int16Buffer({3, 4}));  // arrived after stop
    EXPECT_EQ(service->debugSnapshot().observedInputBufferCount, 1);

    service->startCapture();  // a new session; the old tap must not feed it
    engine.deliverLate(0, int16Buffer({8}));
    engine.deliver(int16Buffer({9}));
    EXPECT_EQ(samplesOf(service->stopCapture()), (std::vector<std::int16_t>{9}));
    EXPECT_EQ(samplesOf(clip), (std::vector<std::int16_t>{1, 2}));
}

TEST_F(CaptureServiceTest, ChosenMicrophoneAndItsFallback) {
    service->setPreferredInputDevice(QStringLiteral("usb"));
    service->startCapture();
    EXPECT_EQ(engine.selectedDevice, 4u);
    EXPECT_EQ(service->debugSnapshot().requestedDeviceLabel, QStringLiteral("USB Mic [uid usb]"));
    service->cancelCapture();

    service->setPreferredInputDevice(QStringLiteral("unplugged"));
    service->startCapture();
    EXPECT_EQ(engine.selectedDevice, 2u);  // the default, set explicitly
    EXPECT_EQ(service->debugSnapshot().requestedDeviceLabel, QStringLiteral("Custom UID unplugged"));
    service->cancelCapture();

    engine.failDeviceSelection = true;
    EXPECT_EQ(failureOf([&] { service->startCapture(); }), AudioCaptureErrorCase::inputDeviceSelectionFailed);
    EXPECT_FALSE(service->isCapturing());
}

TEST_F(CaptureServiceTest, StartFailuresLeaveTheServiceIdle) {
    engine.failStart = true;
    EXPECT_EQ(failureOf([&] { service->startCapture(); }), AudioCaptureErrorCase::engineStartFailed);
    EXPECT_FALSE(service->isCapturing());
    EXPECT_EQ(engine.calls.last(), QStringLiteral("removeTap"));
    engine.deliverLate(0, int16Buffer({1}));
    EXPECT_EQ(service->debugSnapshot().observedInputBufferCount, 0);

    engine.failStart = false;
    converter = nullptr;
    EXPECT_EQ(failureOf([&] { service->startCapture(); }), AudioCaptureErrorCase::converterUnavailable);
    engine.format = AudioStreamFormat{AudioCommonFormat::int16, 0, 2, true};
    EXPECT_EQ(failureOf([&] { service->startCapture(); }), AudioCaptureErrorCase::converterUnavailable);
}

TEST_F(CaptureServiceTest, LevelsArePublishedPerBufferAndRestAtStop) {
    std::vector<AudioLevelSnapshot> published;
    service->levelPublisher().subscribe([&](const AudioLevelSnapshot& levels) { published.push_back(levels); });
    service->startCapture();
    engine.deliver(int16Buffer({0, 0}));
    engine.deliver(int16Buffer({32767}));
    service->stopCapture();
    ASSERT_EQ(published.size(), 5u);  // initial, start, two buffers, stop
    EXPECT_EQ(published[2].peakPower, 0.0);
    EXPECT_EQ(published[3].peakPower, 1.0);
    EXPECT_EQ(published[4], AudioLevelSnapshot::silent(12));
    EXPECT_TRUE(service->debugSnapshot().didObserveNonSilentAudio);
}

// A tap call that has passed its session check when stop releases the converter must still find
// the converter alive, and the converter goes only after that call has ended.
TEST_F(CaptureServiceTest, StopWhileATapCallIsConvertingKeepsTheConverterAlive) {
    std::atomic<bool> destroyed = false;
    std::mutex mutex;
    std::condition_variable changed;
    bool converting = false;
    bool mayFinish = false;
    converter->destroyed = &destroyed;
    converter->duringConvert = [&] {
        std::unique_lock lock(mutex);
        converting = true;
        changed.notify_all();
        changed.wait(lock, [&] { return mayFinish; });
    };
    service->startCapture();
    converter.reset();  // the service and the tap hold the only references now

    std::thread audioThread([&] { engine.deliver(int16Buffer({1, 2, 3})); });
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return converting; });
    }
    service->cancelCapture();
    EXPECT_FALSE(destroyed);
    {
        std::lock_guard lock(mutex);
        mayFinish = true;
    }
    changed.notify_all();
    audioThread.join();
    EXPECT_TRUE(destroyed);
}

TEST(CaptureDiagnosticLog, SwitchFromEnvironmentThenStoredSetting) {
    EXPECT_TRUE(CaptureDiagnosticLog::isEnabled(QStringLiteral(" Yes \n"), std::nullopt));
    EXPECT_TRUE(CaptureDiagnosticLog::isEnabled(QStringLiteral("ON"), false));
    EXPECT_FALSE(CaptureDiagnosticLog::isEnabled(QStringLiteral("0"), true));  // the variable wins
    EXPECT_FALSE(CaptureDiagnosticLog::isEnabled(QStringLiteral("enabled"), true));
    EXPECT_TRUE(CaptureDiagnosticLog::isEnabled(std::nullopt, true));
    EXPECT_FALSE(CaptureDiagnosticLog::isEnabled(std::nullopt, std::nullopt));
}

TEST_F(CaptureServiceTest, DiagnosticFileTracesACaptureInAPrivateFile) {
    QTemporaryDir folder;
    service = makeService(CaptureDiagnosticLog(true, folder.path(), [] { return 1700000000.5; }));
    service->startCapture();
    engine.deliver(int16Buffer({1, 2}));
    service->stopCapture();
    QFile file(folder.filePath(QStringLiteral("quorvelle_diag.log")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("1700000000.5")));
    EXPECT_TRUE(lines[0].contains(QStringLiteral("[startCapture] sessionID=1 inputFormat=16000 Hz, 1 ch / Int16")));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("[stopCapture] pcmDataBytes=4")));
    EXPECT_EQ(file.permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), QFileDevice::Permissions());
}

}  // namespace
}  // namespace quorvelle
