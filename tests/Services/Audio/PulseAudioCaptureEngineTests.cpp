// The libpulse engine against a microphone of its own in the private desktop: a pipe source added
// for each test, so that it can be taken away in the middle of a recording.
#include "FifoWriter.h"
#include "Platform/Linux/PulseAudioCaptureEngine.h"
#include "Platform/Linux/PulseAudioDeviceService.h"
#include "Services/Audio/AVAudioEngineCaptureService.h"
#include "Services/Audio/AudioCaptureError.h"
#include "Services/Audio/SoxrPcmConverter.h"
#include "TestEventLoop.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <mutex>
#include <thread>

#include "PipeMicrophone.h"

namespace quorvelle {
namespace {

QByteArray tone(int frames, double step) {
    QByteArray pcm(frames * 2, '\0');
    for (int i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(9000 * std::sin(i * step));
        std::memcpy(pcm.data() + 2 * i, &v, 2);
    }
    return pcm;
}

class PulseAudioCaptureEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
        fifo = dir.filePath(QStringLiteral("spare.fifo"));
        module = test::loadPipeMicrophone(QStringLiteral("sparemic"), fifo, QStringLiteral("SpareMic"));
        ASSERT_FALSE(module.isEmpty()) << "could not add the spare microphone";
        const auto server = PulseAudioDeviceService::queryServer();
        ASSERT_TRUE(server && server->sourceIndexByName.contains(QStringLiteral("sparemic")));
        sourceIndex = server->sourceIndexByName.value(QStringLiteral("sparemic"));
    }
    void TearDown() override {
        if (!module.isEmpty()) unloadMicrophone();
        if (feeder.joinable()) feeder.join();
    }

    void unloadMicrophone() {
        test::unloadPipeMicrophone(module);
        module.clear();
    }

    // Writes into the spare microphone from another thread (the write blocks while the pipe is full).
    void feed(const QByteArray& bytes) {
        if (feeder.joinable()) feeder.join();
        feeder = std::thread([path = fifo.toStdString(), bytes] { test::writeToFifo(path, bytes); });
    }

    // Records with the engine alone until `bytes` came back or the time is up.
    QByteArray record(PulseAudioCaptureEngine& engine, const QByteArray& bytes) {
        std::mutex lock;
        QByteArray received;
        engine.installTap(0, 1024, engine.inputFormat(0), [&](const AudioPcmBuffer& buffer) {
            std::lock_guard guard(lock);
            received.append(buffer.blocks.front());
        });
        engine.start();
        feed(bytes);
        test::waitUntil(
            [&] {
                std::lock_guard guard(lock);
                return received.size() >= bytes.size();
            },
            10000);
        engine.removeTap(0);
        engine.stop();
        return received;
    }

    QTemporaryDir dir;
    QString fifo;
    QByteArray module;
    std::uint32_t sourceIndex = 0;
    std::thread feeder;
};

TEST_F(PulseAudioCaptureEngineTest, RecordsTheChosenSourceSampleForSampleAndStartsAgainRightAfterAStop) {
    PulseAudioCaptureEngine engine;
    engine.setInputDevice(sourceIndex);
    EXPECT_EQ(engine.inputFormat(0), (AudioStreamFormat{AudioCommonFormat::int16, 16000, 1, true}));
    for (const double step : {0.05, 0.11, 0.23}) {
        SCOPED_TRACE(step);
        const QByteArray sent = tone(6000, step);
        EXPECT_EQ(record(engine, sent), sent);
        EXPECT_FALSE(engine.runFailure());
    }
}

TEST_F(PulseAudioCaptureEngineTest, AMicrophoneThatVanishesFailsTheStopWithTheReasonAndTheNextCaptureWorks) {
    PulseAudioDeviceService devices;
    WAVFileEncoder encoder;
    PulseAudioCaptureEngine engine;
    AVAudioEngineCaptureService service(engine, AudioCaptureConfiguration{}, devices, encoder, &SoxrPcmConverter::make,
                                        CaptureDiagnosticLog(false));
    const auto listed = [&] {
        const auto list = devices.inputDevices();
        return std::any_of(list.begin(), list.end(), [](const auto& d) { return d.uid == "sparemic"; });
    };
    service.setPreferredInputDevice(QStringLiteral("sparemic"));
    ASSERT_TRUE(test::waitUntil(listed));
    service.startCapture();
    EXPECT_EQ(service.debugSnapshot().requestedDeviceLabel, QStringLiteral("SpareMic [uid sparemic]"));
    feed(tone(3200, 0.05));
    ASSERT_TRUE(test::waitUntil([&] { return service.debugSnapshot().observedConvertedBufferCount > 0; }));

    unloadMicrophone();
    ASSERT_TRUE(test::waitUntil([&] { return engine.runFailure().has_value(); }));
    try {
        service.stopCapture();
        ADD_FAILURE() << "the stop of a recording cut off by a vanished microphone succeeded";
    } catch (const AudioCaptureError& error) {
        EXPECT_EQ(error.errorCase(), AudioCaptureErrorCase::engineStartFailed);
        EXPECT_NE(std::string(error.what()).find("sparemic went away during the recording"), std::string::npos)
            << error.what();
    }
    EXPECT_FALSE(service.isCapturing());

    // The choice is gone: the next dictation records the default microphone, cleanly.
    ASSERT_TRUE(test::waitUntil([&] { return !listed(); }));
    service.startCapture();
    EXPECT_FALSE(engine.runFailure());
    EXPECT_TRUE(service.debugSnapshot().resolvedDeviceLabel.startsWith(QStringLiteral("TestMic")));
    EXPECT_NO_THROW(service.stopCapture());
}

TEST(PulseAudioCaptureEngineWithoutServer, StartFailsWithTheReasonInsteadOfHanging) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    QTemporaryDir dir;
    const QByteArray saved = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", QByteArray("unix:") + QFile::encodeName(dir.filePath(QStringLiteral("none"))));
    const auto restore = qScopeGuard([&] { qputenv("PULSE_SERVER", saved); });
    PulseAudioCaptureEngine engine;
    EXPECT_THROW(engine.setInputDevice(0), std::runtime_error);
    engine.installTap(0, 1024, engine.inputFormat(0), [](const AudioPcmBuffer&) {});
    try {
        engine.start();
        ADD_FAILURE() << "started without a sound server";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("no sound server"), std::string::npos) << error.what();
    }
}

// Buffers reach the tap inside a libpulse callback: a tap that throws costs that buffer only, and a
// frame split across two reads arrives whole.
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
