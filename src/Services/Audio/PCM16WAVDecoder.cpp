#include "PCM16WAVDecoder.h"

#include "Models/QuorvelleError.h"

#include <QtEndian>

#include <cmath>
#include <cstdint>
#include <optional>

namespace quorvelle::PCM16WAVDecoder {

namespace {

[[noreturn]] void malformed() {
    throw QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure);
}

std::uint32_t u32At(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<std::uint32_t>(bytes.constData() + offset);
}

std::uint16_t u16At(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<std::uint16_t>(bytes.constData() + offset);
}

// One hour at 16 kHz: far beyond any dictation.
constexpr double kMaximumDecodedSamples = 16000.0 * 60 * 60;

struct Format {
    int channels = 0;
    double sampleRate = 0;
};

}  // namespace

std::vector<float> decode(const QByteArray& file) {
    const qsizetype total = file.size();
    if (total < 44) malformed();
    if (file.mid(0, 4) != "RIFF" || file.mid(8, 4) != "WAVE") malformed();

    std::optional<Format> format;
    std::optional<QByteArray> data;
    // Offsets are 64-bit, so a declared size near 4 GiB cannot wrap around past the end.
    qint64 offset = 12;
    while (offset + 8 <= total) {
        const QByteArray id = file.mid(offset, 4);
        const qint64 size = u32At(file, offset + 4);
        const qint64 body = offset + 8;
        const qint64 end = body + size;
        if (end > total) malformed();
        if (id == "fmt ") {
            if (size < 16) malformed();
            const int tag = u16At(file, body);
            const int channels = u16At(file, body + 2);
            const int bits = u16At(file, body + 14);
            if (tag != 1 || channels == 0 || bits != 16) malformed();
            format = Format{channels, static_cast<double>(u32At(file, body + 4))};
        } else if (id == "data") {
            data = file.mid(body, size);
        }
        offset = end + (size % 2 == 1 ? 1 : 0);
    }
    if (!data) malformed();
    if (!format || format->channels == 0) malformed();
    if (!(format->sampleRate > 0)) malformed();

    const auto channels = static_cast<qsizetype>(format->channels);
    const qsizetype frames = data->size() / (2 * channels);
    if (frames == 0) throw QuorvelleError(QuorvelleErrorCase::noSpeechDetected);

    std::vector<float> samples(static_cast<std::size_t>(frames));
    const char* pcm = data->constData();
    for (qsizetype i = 0; i < frames; ++i) {
        float sum = 0;
        for (qsizetype c = 0; c < channels; ++c) {
            const auto value = qFromLittleEndian<std::int16_t>(pcm + 2 * (i * channels + c));
            sum += static_cast<float>(value) / 32767.0f;
        }
        samples[static_cast<std::size_t>(i)] = sum / static_cast<float>(channels);
    }
    if (std::fabs(format->sampleRate - 16000.0) < 1.0) return samples;
    // A hostile header with a tiny rate would blow a small file up into gigabytes of samples.
    if (static_cast<double>(frames) * (16000.0 / format->sampleRate) > kMaximumDecodedSamples) malformed();
    return resample(samples, format->sampleRate, 16000.0);
}

std::vector<float> resample(const std::vector<float>& samples, double sourceRate, double targetRate) {
    if (samples.empty() || !(sourceRate > 0) || !(targetRate > 0)) return samples;
    const double ratio = targetRate / sourceRate;
    const std::size_t n = samples.size();
    const auto count = static_cast<std::size_t>(std::max(1.0, std::round(static_cast<double>(n) * ratio)));
    std::vector<float> output(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double position = static_cast<double>(i) / ratio;
        auto i0 = static_cast<std::size_t>(std::floor(position));
        std::size_t i1 = i0 + 1;
        if (i0 > n - 1) i0 = n - 1;
        if (i1 > n - 1) i1 = n - 1;
        const auto fraction = static_cast<float>(position - std::floor(position));
        output[i] = samples[i0] + (samples[i1] - samples[i0]) * fraction;
    }
    return output;
}

}  // namespace quorvelle::PCM16WAVDecoder
