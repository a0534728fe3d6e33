#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace quorvelle {

// Sample encodings, with the numbers the debug snapshot's format summaries go by (0 is "Other").
enum class AudioCommonFormat { other = 0, float32 = 1, float64 = 2, int16 = 3, int32 = 4 };

struct AudioStreamFormat {
    AudioCommonFormat commonFormat = AudioCommonFormat::other;
    double sampleRate = 0;
    int channelCount = 0;
    bool interleaved = true;

    int bytesPerSample() const;
    // Bytes of one frame in one data block: all channels when interleaved, one otherwise.
    int bytesPerFrameInBlock() const;
    bool isUsable() const { return sampleRate > 0 && channelCount > 0 && bytesPerSample() > 0; }

    friend bool operator==(const AudioStreamFormat&, const AudioStreamFormat&) = default;
};

// A block of audio frames: one data block holding every channel frame after frame when the format
// is interleaved, else one block per channel.
struct AudioPcmBuffer {
    AudioStreamFormat format;
    std::uint32_t frameLength = 0;
    std::vector<QByteArray> blocks;

    // Byte size of the first block's frames, 0 when there is none.
    qsizetype firstBlockByteSize() const;
};

// Per channel, the largest sample magnitude in 0...1 (16-bit over 32767, 32-bit over 2147483647).
// No channels: empty; no frames: one 0 per channel; an unknown encoding: empty.
std::vector<double> channelPeakMagnitudes(const AudioPcmBuffer& buffer);

// The index of the loudest channel; the first one on ties, 0 without peaks, at most channels - 1.
int loudestChannel(const std::vector<double>& peaks, int channelCount);

// One channel copied into a mono buffer of `monoFormat` (Float32): 16-bit over 32767, 32-bit times 2^-31,
// 64-bit narrowed, other encodings 0. Nothing when the channel does not exist or the data is short.
std::optional<AudioPcmBuffer> extractMonoChannel(const AudioPcmBuffer& buffer, int channel,
                                                 const AudioStreamFormat& monoFormat);

// "<rate> Hz, <n> ch / <encoding>" for the debug snapshot.
QString formatSummary(const AudioStreamFormat& format);

}  // namespace quorvelle
