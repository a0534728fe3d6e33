#include "AudioPcmBuffer.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quorvelle {

int AudioStreamFormat::bytesPerSample() const {
    switch (commonFormat) {
        case AudioCommonFormat::int16: return 2;
        case AudioCommonFormat::int32:
        case AudioCommonFormat::float32: return 4;
        case AudioCommonFormat::float64: return 8;
        case AudioCommonFormat::other: return 0;
    }
    return 0;
}

int AudioStreamFormat::bytesPerFrameInBlock() const {
    return interleaved ? bytesPerSample() * channelCount : bytesPerSample();
}

qsizetype AudioPcmBuffer::firstBlockByteSize() const {
    if (blocks.empty()) return 0;
    const qsizetype wanted = static_cast<qsizetype>(frameLength) * format.bytesPerFrameInBlock();
    return std::min(wanted, blocks.front().size());
}

namespace {

// The sample of `channel` at `frame` as a double in the encoding's own scale, read from the
// right block; false when the bytes are not there.
template <typename Sample>
bool readSample(const AudioPcmBuffer& buffer, int channel, std::uint32_t frame, Sample& out) {
    const bool interleaved = buffer.format.interleaved;
    const std::size_t blockIndex = interleaved ? 0 : static_cast<std::size_t>(channel);
    if (blockIndex >= buffer.blocks.size()) return false;
    const QByteArray& block = buffer.blocks[blockIndex];
    const qsizetype index = interleaved ? static_cast<qsizetype>(frame) * buffer.format.channelCount + channel
                                        : static_cast<qsizetype>(frame);
    const qsizetype offset = index * static_cast<qsizetype>(sizeof(Sample));
    if (offset + static_cast<qsizetype>(sizeof(Sample)) > block.size()) return false;
    std::memcpy(&out, block.constData() + offset, sizeof(Sample));
    return true;
}

// Reads a sample normalised the way the peak meter does: 16-bit over 32767, 32-bit over 2147483647.
std::optional<double> peakSample(const AudioPcmBuffer& buffer, int channel, std::uint32_t frame) {
    switch (buffer.format.commonFormat) {
        case AudioCommonFormat::float32: {
            float v;
            if (!readSample(buffer, channel, frame, v)) return std::nullopt;
            return std::fabs(static_cast<double>(v));
        }
        case AudioCommonFormat::float64: {
            double v;
            if (!readSample(buffer, channel, frame, v)) return std::nullopt;
            return std::fabs(v);
        }
        case AudioCommonFormat::int16: {
            std::int16_t v;
            if (!readSample(buffer, channel, frame, v)) return std::nullopt;
            return std::fabs(static_cast<double>(v)) / 32767.0;
        }
        case AudioCommonFormat::int32: {
            std::int32_t v;
            if (!readSample(buffer, channel, frame, v)) return std::nullopt;
            return std::fabs(static_cast<double>(v)) / 2147483647.0;
        }
        case AudioCommonFormat::other: return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

std::vector<double> channelPeakMagnitudes(const AudioPcmBuffer& buffer) {
    const int channels = buffer.format.channelCount;
    if (channels <= 0) return {};
    if (buffer.frameLength == 0) return std::vector<double>(static_cast<std::size_t>(channels), 0.0);
    if (buffer.format.commonFormat == AudioCommonFormat::other) return {};
    std::vector<double> peaks(static_cast<std::size_t>(channels), 0.0);
    for (int c = 0; c < channels; ++c) {
        double peak = 0;
        for (std::uint32_t f = 0; f < buffer.frameLength; ++f) {
            const auto v = peakSample(buffer, c, f);
            if (!v) break;  // short data: the frames that exist count
            if (*v > peak) peak = *v;
        }
        peaks[static_cast<std::size_t>(c)] = std::clamp(peak, 0.0, 1.0);
    }
    return peaks;
}

int loudestChannel(const std::vector<double>& peaks, int channelCount) {
    if (channelCount <= 0 || peaks.empty()) return 0;
    std::size_t best = 0;
    for (std::size_t i = 1; i < peaks.size(); ++i) {
        if (peaks[i] > peaks[best]) best = i;
    }
    return std::min(static_cast<int>(best), channelCount - 1);
}

std::optional<AudioPcmBuffer> extractMonoChannel(const AudioPcmBuffer& buffer, int channel,
                                                 const AudioStreamFormat& monoFormat) {
    if (channel < 0 || channel >= buffer.format.channelCount) return std::nullopt;
    if (monoFormat.commonFormat != AudioCommonFormat::float32) return std::nullopt;
    QByteArray samples(static_cast<qsizetype>(buffer.frameLength) * 4, Qt::Uninitialized);
    for (std::uint32_t f = 0; f < buffer.frameLength; ++f) {
        float value = 0;
        bool present = true;
        switch (buffer.format.commonFormat) {
            case AudioCommonFormat::float32: present = readSample(buffer, channel, f, value); break;
            case AudioCommonFormat::float64: {
                double v = 0;
                present = readSample(buffer, channel, f, v);
                value = static_cast<float>(v);
                break;
            }
            case AudioCommonFormat::int16: {
                std::int16_t v = 0;
                present = readSample(buffer, channel, f, v);
                value = static_cast<float>(v) / 32767.0f;
                break;
            }
            case AudioCommonFormat::int32: {
                std::int32_t v = 0;
                present = readSample(buffer, channel, f, v);
                value = static_cast<float>(static_cast<double>(v) * std::ldexp(1.0, -31));
                break;
            }
            case AudioCommonFormat::other: value = 0; break;
        }
        if (!present) return std::nullopt;
        std::memcpy(samples.data() + static_cast<qsizetype>(f) * 4, &value, 4);
    }
    AudioPcmBuffer mono;
    mono.format = monoFormat;
    mono.frameLength = buffer.frameLength;
    mono.blocks.push_back(samples);
    return mono;
}

QString formatSummary(const AudioStreamFormat& format) {
    static const char* const names[] = {"Other", "Float32", "Float64", "Int16", "Int32"};
    const int code = static_cast<int>(format.commonFormat);
    const QString encoding = QString::fromLatin1(code >= 0 && code <= 4 ? names[code] : "Unknown");
    return QStringLiteral("%1 Hz, %2 ch / %3")
        .arg(static_cast<qint64>(format.sampleRate))
        .arg(format.channelCount)
        .arg(encoding);
}

}  // namespace quorvelle
