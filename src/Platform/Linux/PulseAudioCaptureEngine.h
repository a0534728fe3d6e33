#pragma once

#include "Services/Audio/AudioCaptureEngineRunning.h"

#include <pulse/pulseaudio.h>

#include <QByteArray>

#include <mutex>
#include <optional>
#include <string>

namespace quorvelle {

// The capture engine over libpulse: one record stream per capture on a threaded main loop of its
// own, asking for about 10 ms per fragment so that the first audio arrives early. The device is
// the source the listed id names (the server's source index); the stream keeps that source's own
// sample format, rate and channels, and the capture service converts them. start() returns once
// the server has the stream recording.
//
// Threads: the public calls come from one caller thread; the stream's callbacks, and with them the
// tap, run on the main loop's thread. No exception leaves a callback.
class PulseAudioCaptureEngine final : public AudioCaptureEngineRunning {
public:
    PulseAudioCaptureEngine();
    ~PulseAudioCaptureEngine() override;
    PulseAudioCaptureEngine(const PulseAudioCaptureEngine&) = delete;
    PulseAudioCaptureEngine& operator=(const PulseAudioCaptureEngine&) = delete;

    void setInputDevice(std::uint32_t deviceId) override;
    AudioStreamFormat inputFormat(int bus) override;
    void installTap(int bus, std::uint32_t bufferSize, const AudioStreamFormat& format, TapBlock block) override;
    void removeTap(int bus) override;
    void prepare() override;
    void start() override;
    void stop() override;
    std::optional<std::string> runFailure() const override;

    // Hands recorded bytes to the tap in buffers of at most the tap's frame count (loop thread).
    void deliver(const void* data, std::size_t bytes) noexcept;

private:
    struct Source {
        std::string name;
        pa_sample_spec sampleFormat{};
        pa_channel_map channels{};
    };

    // All with the main loop locked. They throw std::runtime_error with the reason.
    void ensureConnected();
    Source lookUpSource(const char* name, std::optional<std::uint32_t> index);
    template <typename Done>
    bool waitFor(Done done, int timeoutMs);
    void closeStream();

    static void onContextState(pa_context* context, void* userdata);
    static void onStreamState(pa_stream* stream, void* userdata);
    static void onStreamRead(pa_stream* stream, std::size_t bytes, void* userdata);

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    std::optional<Source> m_chosen;      // the device set by setInputDevice
    std::optional<Source> m_recordFrom;  // what inputFormat() reported: the chosen or the default source
    std::optional<std::string> m_runFailure;

    // Held while a tap call runs, so removeTap returns only after the last call ended.
    std::mutex m_tapMutex;
    TapBlock m_tap;
    AudioStreamFormat m_tapFormat;
    std::uint32_t m_tapFrames = 1024;
    QByteArray m_pending;  // a partial frame left from the last delivery (loop thread only)
};

}  // namespace quorvelle
