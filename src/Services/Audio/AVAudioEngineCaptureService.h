#pragma once

#include "Services/Audio/AudioCaptureEngineRunning.h"
#include "Services/Audio/AudioCapturing.h"
#include "Services/Audio/AudioLevelSampler.h"
#include "Services/Audio/CaptureDiagnosticLog.h"
#include "Services/Audio/ResolvedAudioInputDeviceSelection.h"
#include "Services/Audio/WAVFileEncoder.h"

#include <QByteArray>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace quorvelle {

struct AudioCaptureConfiguration {
    double sampleRate = 16000;
    int channelCount = 1;
    int bitsPerSample = 16;
    QString containerFileExtension = QStringLiteral("wav");
};

using PCMBufferConverterFactory = std::function<std::shared_ptr<PCMBufferConverting>(
    const AudioStreamFormat& converterInputFormat, const AudioStreamFormat& targetFormat)>;

// Records one dictation at a time: applies the chosen input device, converts every tap buffer
// (loudest channel) to 16 kHz mono 16-bit, publishes live levels and a debug snapshot, and wraps
// the audio as a WAV clip at stop.
//
// Threads: start, stop, cancel and the microphone choice run on the caller's thread; tap buffers
// arrive on the engine's audio thread. The converter and formats of a capture are handed to the
// tap under the lock, together with its session check, and shared, so a tap call still running
// after stop or cancel keeps them alive until it returns.
class AVAudioEngineCaptureService final : public AudioCapturing,
                                          public AudioInputSelecting,
                                          public AudioCaptureDiagnosing {
public:
    AVAudioEngineCaptureService(AudioCaptureEngineRunning& engine, AudioCaptureConfiguration configuration,
                                const AudioDeviceListing& devices, const WAVFileEncoding& wavEncoder,
                                PCMBufferConverterFactory converterFactory, CaptureDiagnosticLog diagnosticLog);
    ~AVAudioEngineCaptureService() override;

    bool isCapturing() const override { return m_isCapturing; }
    CurrentValueSubject<AudioLevelSnapshot>& levelPublisher() override { return m_levelSubject; }
    void startCapture() override;
    CapturedAudioClip stopCapture() override;
    void cancelCapture() override;

    void setPreferredInputDevice(const std::optional<QString>& uid) override;

    AudioCaptureDebugSnapshot debugSnapshot() const override;
    CurrentValueSubject<AudioCaptureDebugSnapshot>& debugSnapshotPublisher() override { return m_debugSubject; }

    // Frames the converter is asked for: the input scaled to the target rate, at least 1.
    static std::uint32_t outputCapacity(std::uint32_t inputFrames, double inputRate, double targetRate);
    static QString requestedDeviceDebugLabel(const std::optional<QString>& preferredUid,
                                             const ResolvedAudioInputDeviceSelection& selection);
    static QString resolvedDeviceDebugLabel(const ResolvedAudioInputDeviceSelection& selection);

private:
    struct Conversion {
        std::shared_ptr<PCMBufferConverting> converter;
        AudioStreamFormat targetFormat;
        AudioStreamFormat converterInputFormat;
    };

    ResolvedAudioInputDeviceSelection selectInputDevice();
    void handleTapBuffer(const AudioPcmBuffer& buffer, std::uint64_t sessionId);
    void consumeConvertedBuffer(const AudioPcmBuffer& output);
    void recordInputObservation(std::uint32_t frameLength, const std::vector<double>& peaks);
    void recordConvertedObservation(std::uint32_t frameLength, bool nonSilent);
    void endSession();
    void publishRestingState();

    AudioCaptureEngineRunning& m_engine;
    const AudioCaptureConfiguration m_configuration;
    const AudioDeviceListing& m_devices;
    const WAVFileEncoding& m_wavEncoder;
    const AudioLevelSampler m_levelSampler{12};
    PCMBufferConverterFactory m_converterFactory;
    const CaptureDiagnosticLog m_diagnosticLog;

    CurrentValueSubject<AudioLevelSnapshot> m_levelSubject{AudioLevelSnapshot::silent(12)};
    CurrentValueSubject<AudioCaptureDebugSnapshot> m_debugSubject{AudioCaptureDebugSnapshot::empty()};

    bool m_isCapturing = false;  // caller's thread only

    mutable std::mutex m_lock;
    // Guarded by m_lock:
    std::shared_ptr<const Conversion> m_conversion;
    QByteArray m_pcmData;
    std::int64_t m_capturedFrameCount = 0;
    std::optional<QString> m_preferredInputDeviceUid;
    std::uint64_t m_nextCaptureSessionId = 0;
    std::optional<std::uint64_t> m_activeCaptureSessionId;
    AudioCaptureDebugSnapshot m_debugSnapshot = AudioCaptureDebugSnapshot::empty();
};

}  // namespace quorvelle
