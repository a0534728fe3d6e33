#pragma once

#include "Services/Audio/AudioPcmBuffer.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace quorvelle {

// The audio engine the capture service drives: one input, taps delivering buffers of the device's
// own format on the engine's audio thread.
class AudioCaptureEngineRunning {
public:
    using TapBlock = std::function<void(const AudioPcmBuffer&)>;

    virtual ~AudioCaptureEngineRunning() = default;
    // Throws on failure (any exception).
    virtual void setInputDevice(std::uint32_t deviceId) = 0;
    virtual AudioStreamFormat inputFormat(int bus) = 0;
    virtual void installTap(int bus, std::uint32_t bufferSize, const AudioStreamFormat& format, TapBlock block) = 0;
    // After it returns no tap call of the removed tap is running or will run.
    virtual void removeTap(int bus) = 0;
    virtual void prepare() = 0;
    // Throws on failure (any exception).
    virtual void start() = 0;
    virtual void stop() = 0;
    // Why the running recording ended by itself (the device went away, the sound server quit);
    // nothing while it runs or after it was stopped on purpose. Cleared by the next start.
    virtual std::optional<std::string> runFailure() const { return std::nullopt; }
};

// Converts buffers of one format into another, keeping its state between buffers of one capture.
class PCMBufferConverting {
public:
    virtual ~PCMBufferConverting() = default;
    virtual std::optional<AudioPcmBuffer> convert(const AudioPcmBuffer& input, const AudioStreamFormat& outputFormat,
                                                  std::uint32_t frameCapacity) = 0;
};

}  // namespace quorvelle
