#pragma once

#include "Services/Audio/AudioCaptureEngineRunning.h"

#include <memory>

struct soxr;

namespace quorvelle {

// Converts a mono stream of any supported encoding to mono signed 16-bit at the target rate.
// Equal rates only change the encoding (bit-exact for 16-bit input); other rates go through a
// streaming soxr resampler that keeps its state across the buffers of one capture.
class SoxrPcmConverter final : public PCMBufferConverting {
public:
    // Nothing when the formats are not mono, not supported, or soxr cannot be set up.
    static std::shared_ptr<PCMBufferConverting> make(const AudioStreamFormat& input, const AudioStreamFormat& target);

    ~SoxrPcmConverter() override;
    SoxrPcmConverter(const SoxrPcmConverter&) = delete;
    SoxrPcmConverter& operator=(const SoxrPcmConverter&) = delete;

    std::optional<AudioPcmBuffer> convert(const AudioPcmBuffer& input, const AudioStreamFormat& outputFormat,
                                          std::uint32_t frameCapacity) override;

private:
    SoxrPcmConverter(AudioStreamFormat input, soxr* resampler);

    AudioStreamFormat m_input;
    soxr* m_resampler;  // null when the rates are equal
};

}  // namespace quorvelle
