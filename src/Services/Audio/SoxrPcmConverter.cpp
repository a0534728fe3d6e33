#include "SoxrPcmConverter.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quorvelle {

namespace {

std::optional<soxr_datatype_t> soxrType(AudioCommonFormat format) {
    switch (format) {
        case AudioCommonFormat::float32: return SOXR_FLOAT32_I;
        case AudioCommonFormat::float64: return SOXR_FLOAT64_I;
        case AudioCommonFormat::int16: return SOXR_INT16_I;
        case AudioCommonFormat::int32: return SOXR_INT32_I;
        case AudioCommonFormat::other: return std::nullopt;
    }
    return std::nullopt;
}

std::int16_t toInt16(double value) {
    const double scaled = std::round(value * 32767.0);
    return static_cast<std::int16_t>(std::clamp(scaled, -32768.0, 32767.0));
}

// One mono sample of `buffer` as a signed 16-bit value.
std::int16_t sampleAsInt16(const AudioPcmBuffer& buffer, std::uint32_t frame) {
    const char* data = buffer.blocks.front().constData();
    switch (buffer.format.commonFormat) {
        case AudioCommonFormat::int16: {
            std::int16_t v;
            std::memcpy(&v, data + frame * 2, 2);
            return v;
        }
        case AudioCommonFormat::int32: {
            std::int32_t v;
            std::memcpy(&v, data + frame * 4, 4);
            return static_cast<std::int16_t>(v >> 16);
        }
        case AudioCommonFormat::float32: {
            float v;
            std::memcpy(&v, data + frame * 4, 4);
            return toInt16(v);
        }
        case AudioCommonFormat::float64: {
            double v;
            std::memcpy(&v, data + frame * 8, 8);
            return toInt16(v);
        }
        case AudioCommonFormat::other: return 0;
    }
    return 0;
}

}  // namespace

std::shared_ptr<PCMBufferConverting> SoxrPcmConverter::make(const AudioStreamFormat& input,
                                                            const AudioStreamFormat& target) {
    if (!input.isUsable() || !target.isUsable()) return nullptr;
    if (input.channelCount != 1 || target.channelCount != 1) return nullptr;
    if (target.commonFormat != AudioCommonFormat::int16) return nullptr;
    const auto inputType = soxrType(input.commonFormat);
    if (!inputType) return nullptr;
    soxr* resampler = nullptr;
    if (std::fabs(input.sampleRate - target.sampleRate) >= 0.5) {
        soxr_error_t error = nullptr;
        const soxr_io_spec_t io = soxr_io_spec(*inputType, SOXR_INT16_I);
        const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
        resampler = soxr_create(input.sampleRate, target.sampleRate, 1, &error, &io, &quality, nullptr);
        if (error || !resampler) return nullptr;
    }
    return std::shared_ptr<PCMBufferConverting>(new SoxrPcmConverter(input, resampler));
}

SoxrPcmConverter::SoxrPcmConverter(AudioStreamFormat input, soxr* resampler) : m_input(input), m_resampler(resampler) {}

SoxrPcmConverter::~SoxrPcmConverter() {
    if (m_resampler) soxr_delete(m_resampler);
}

std::optional<AudioPcmBuffer> SoxrPcmConverter::convert(const AudioPcmBuffer& input,
                                                        const AudioStreamFormat& outputFormat,
                                                        std::uint32_t frameCapacity) {
    if (input.format.commonFormat != m_input.commonFormat || input.format.channelCount != 1) return std::nullopt;
    if (input.blocks.empty()) return std::nullopt;
    const qsizetype bytesPerSample = input.format.bytesPerSample();
    if (input.blocks.front().size() < static_cast<qsizetype>(input.frameLength) * bytesPerSample) return std::nullopt;

    AudioPcmBuffer output;
    output.format = outputFormat;
    if (!m_resampler) {
        const std::uint32_t frames = std::min(input.frameLength, frameCapacity);
        QByteArray samples(static_cast<qsizetype>(frames) * 2, Qt::Uninitialized);
        if (input.format.commonFormat == AudioCommonFormat::int16) {
            std::memcpy(samples.data(), input.blocks.front().constData(), static_cast<size_t>(samples.size()));
        } else {
            for (std::uint32_t f = 0; f < frames; ++f) {
                const std::int16_t v = sampleAsInt16(input, f);
                std::memcpy(samples.data() + f * 2, &v, 2);
            }
        }
        output.frameLength = frames;
        output.blocks.push_back(samples);
        return output;
    }

    QByteArray samples(static_cast<qsizetype>(frameCapacity) * 2, Qt::Uninitialized);
    size_t consumed = 0;
    size_t produced = 0;
    const soxr_error_t error = soxr_process(m_resampler, input.blocks.front().constData(), input.frameLength, &consumed,
                                            samples.data(), frameCapacity, &produced);
    if (error) return std::nullopt;
    samples.truncate(static_cast<qsizetype>(produced) * 2);
    output.frameLength = static_cast<std::uint32_t>(produced);
    output.blocks.push_back(samples);
    return output;
}

}  // namespace quorvelle
