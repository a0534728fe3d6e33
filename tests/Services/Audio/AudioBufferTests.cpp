#include "Services/Audio/AudioCaptureDebugSnapshot.h"
#include "Services/Audio/AudioPcmBuffer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quorvelle {
namespace {

using Peaks = std::vector<double>;

template <typename T>
QByteArray bytesOf(const std::vector<T>& values) {
    return QByteArray(reinterpret_cast<const char*>(values.data()), static_cast<qsizetype>(values.size() * sizeof(T)));
}

template <typename T>
AudioPcmBuffer interleaved(AudioCommonFormat format, int channels, const std::vector<T>& values) {
    return AudioPcmBuffer{AudioStreamFormat{format, 48000, channels, true},
                          static_cast<std::uint32_t>(values.size() / static_cast<std::size_t>(channels)),
                          {bytesOf(values)}};
}

TEST(ChannelPeaks, EachEncodingIsNormalisedToItsOwnFullScaleAndTheLoudestChannelIsCopiedAsFloat) {
    using F = AudioCommonFormat;
    EXPECT_EQ(channelPeakMagnitudes(interleaved<std::int16_t>(F::int16, 2, {100, -32767, -16384, 5})),
              (Peaks{16384.0 / 32767.0, 1.0}));
    EXPECT_EQ(channelPeakMagnitudes(interleaved<std::int32_t>(F::int32, 1, {-2147483647 - 1})), Peaks{1.0});  // clamped
    EXPECT_EQ(channelPeakMagnitudes(interleaved<float>(F::float32, 2, {-0.25f, 0.5f, 0.125f, -2.0f})),
              (Peaks{0.25, 1.0}));
    // Non-interleaved: one block per channel.
    const AudioPcmBuffer planar{AudioStreamFormat{F::float32, 48000, 2, false},
                                2,
                                {bytesOf<float>({0.1f, 0.2f}), bytesOf<float>({-0.9f, 0.3f})}};
    EXPECT_EQ(channelPeakMagnitudes(planar), (Peaks{double(0.2f), double(0.9f)}));

    EXPECT_EQ(channelPeakMagnitudes({AudioStreamFormat{F::int16, 48000, 3, true}, 0, {QByteArray()}}), Peaks(3, 0.0));
    EXPECT_TRUE(channelPeakMagnitudes({AudioStreamFormat{F::int16, 48000, 0, true}, 4, {QByteArray(8, 1)}}).empty());
    EXPECT_TRUE(channelPeakMagnitudes(interleaved<std::int16_t>(F::other, 1, {5})).empty());
    // A block shorter than its frame length is read only as far as it goes.
    AudioPcmBuffer shortBlock = interleaved<std::int16_t>(F::int16, 1, {32767});
    shortBlock.frameLength = 1000;
    EXPECT_EQ(channelPeakMagnitudes(shortBlock), Peaks{1.0});

    EXPECT_EQ(mergeChannelPeaks({0.5, 0.1}, {0.2, 0.3, 1.5}), (Peaks{0.5, 0.3, 1.0}));
    EXPECT_EQ(mergeChannelPeaks({0.5}, {}), Peaks{0.5});

    // The loudest channel is copied as float; the stereo microphone desktop test walks 16-bit stereo.
    EXPECT_EQ(loudestChannel({0.5, 0.5}, 2), 0);       // ties keep the first
    EXPECT_EQ(loudestChannel({0.1, 0.2, 0.9}, 2), 1);  // never past the last channel
    const AudioStreamFormat mono{AudioCommonFormat::float32, 48000, 1, false};
    const auto int32 = extractMonoChannel(interleaved<std::int32_t>(AudioCommonFormat::int32, 1, {1 << 30}), 0, mono);
    ASSERT_TRUE(int32);
    EXPECT_EQ(int32->blocks.front(), bytesOf<float>({0.5f}));  // times 2^-31
    EXPECT_FALSE(extractMonoChannel(interleaved<std::int16_t>(AudioCommonFormat::int16, 2, {1, 2}), 2, mono));
}

}  // namespace
}  // namespace quorvelle
