#include "Services/Audio/AudioCaptureDebugSnapshot.h"
#include "Services/Audio/AudioPcmBuffer.h"
#include "Services/Audio/ResolvedAudioInputDeviceSelection.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quorvelle {
namespace {

template <typename T>
QByteArray bytesOf(const std::vector<T>& values) {
    QByteArray bytes(static_cast<qsizetype>(values.size() * sizeof(T)), Qt::Uninitialized);
    std::memcpy(bytes.data(), values.data(), static_cast<size_t>(bytes.size()));
    return bytes;
}

template <typename T>
AudioPcmBuffer interleaved(AudioCommonFormat format, int channels, const std::vector<T>& values) {
    return AudioPcmBuffer{AudioStreamFormat{format, 48000, channels, true},
                          static_cast<std::uint32_t>(values.size() / static_cast<std::size_t>(channels)),
                          {bytesOf(values)}};
}

TEST(ChannelPeaks, EachEncodingIsNormalisedToItsOwnFullScale) {
    EXPECT_EQ(channelPeakMagnitudes(interleaved<std::int16_t>(AudioCommonFormat::int16, 2, {100, -32767, -16384, 5})),
              (std::vector<double>{16384.0 / 32767.0, 1.0}));
    EXPECT_EQ(channelPeakMagnitudes(interleaved<std::int32_t>(AudioCommonFormat::int32, 1, {-2147483647 - 1})),
              (std::vector<double>{1.0}));  // clamped
    EXPECT_EQ(channelPeakMagnitudes(interleaved<float>(AudioCommonFormat::float32, 2, {-0.25f, 0.5f, 0.125f, -2.0f})),
              (std::vector<double>{0.25, 1.0}));

    // Non-interleaved: one block per channel.
    AudioPcmBuffer planar{AudioStreamFormat{AudioCommonFormat::float32, 48000, 2, false},
                          2,
                          {bytesOf<float>({0.1f, 0.2f}), bytesOf<float>({-0.9f, 0.3f})}};
    const auto peaks = channelPeakMagnitudes(planar);
    ASSERT_EQ(peaks.size(), 2u);
    EXPECT_NEAR(peaks[0], 0.2, 1e-6);
    EXPECT_NEAR(peaks[1], 0.9, 1e-6);
}

TEST(ChannelPeaks, EdgeShapes) {
    AudioPcmBuffer noFrames{AudioStreamFormat{AudioCommonFormat::int16, 48000, 3, true}, 0, {QByteArray()}};
    EXPECT_EQ(channelPeakMagnitudes(noFrames), (std::vector<double>{0, 0, 0}));
    AudioPcmBuffer noChannels{AudioStreamFormat{AudioCommonFormat::int16, 48000, 0, true}, 4, {QByteArray(8, '\1')}};
    EXPECT_TRUE(channelPeakMagnitudes(noChannels).empty());
    EXPECT_TRUE(channelPeakMagnitudes(interleaved<std::int16_t>(AudioCommonFormat::other, 1, {5})).empty());
    // A block shorter than its frame length is read only as far as it goes.
    AudioPcmBuffer shortBlock = interleaved<std::int16_t>(AudioCommonFormat::int16, 1, {32767});
    shortBlock.frameLength = 1000;
    EXPECT_EQ(channelPeakMagnitudes(shortBlock), (std::vector<double>{1.0}));
}

TEST(LoudestChannel, StrictlyLouderWinsTiesKeepTheFirst) {
    EXPECT_EQ(loudestChannel({0.2, 0.7}, 2), 1);
    EXPECT_EQ(loudestChannel({0.5, 0.5}, 2), 0);
    EXPECT_EQ(loudestChannel({0.1, 0.2, 0.9}, 2), 1);  // never past the last channel
}

TEST(ExtractMonoChannel, CopiesOneChannelAsFloat) {
    const AudioStreamFormat mono{AudioCommonFormat::float32, 48000, 1, false};
    const auto right =
        extractMonoChannel(interleaved<std::int16_t>(AudioCommonFormat::int16, 2, {1, 32767, 2, -32767}), 1, mono);
    ASSERT_TRUE(right);
    ASSERT_EQ(right->frameLength, 2u);
    float values[2];
    std::memcpy(values, right->blocks.front().constData(), 8);
    EXPECT_FLOAT_EQ(values[0], 1.0f);
    EXPECT_FLOAT_EQ(values[1], -1.0f);

    const auto int32 = extractMonoChannel(interleaved<std::int32_t>(AudioCommonFormat::int32, 1, {1 << 30}), 0, mono);
    ASSERT_TRUE(int32);
    std::memcpy(values, int32->blocks.front().constData(), 4);
    EXPECT_FLOAT_EQ(values[0], 0.5f);  // times 2^-31

    EXPECT_FALSE(extractMonoChannel(interleaved<std::int16_t>(AudioCommonFormat::int16, 2, {1, 2}), 2, mono));
}

TEST(DebugSnapshot, SummariesAndPeakMerging) {
    auto snapshot = AudioCaptureDebugSnapshot::empty();
    EXPECT_EQ(snapshot.requestedDeviceLabel, QStringLiteral("System Default"));
    EXPECT_EQ(snapshot.resolvedDeviceLabel, QStringLiteral("Bilinmiyor"));
    EXPECT_EQ(snapshot.signalSummary(), QStringLiteral("Henuz yok"));
    snapshot.observedInputChannelPeakMagnitudes = {0.25, 0.0};
    snapshot.observedInputBufferCount = 3;
    snapshot.observedConvertedBufferCount = 2;
    snapshot.lastObservedFrameLength = 341;
    EXPECT_EQ(snapshot.signalSummary(), QStringLiteral("ch1 0.250 / ch2 0.000"));
    EXPECT_TRUE(snapshot.bufferSummary().startsWith(QStringLiteral("Input 3, converted 2")));
    EXPECT_TRUE(snapshot.bufferSummary().endsWith(QStringLiteral("341")));

    EXPECT_EQ(mergeChannelPeaks({0.5, 0.1}, {0.2, 0.3, 1.5}), (std::vector<double>{0.5, 0.3, 1.0}));
    EXPECT_EQ(mergeChannelPeaks({0.5}, {}), (std::vector<double>{0.5}));
}

TEST(ResolvedAudioInputDeviceSelection, MatchesTheStoredChoiceAndLabelsIt) {
    const QList<AudioDeviceInfo> devices{{7, QStringLiteral("usb-mic"), QStringLiteral("USB Mic"), false},
                                         {3, QStringLiteral("builtin"), QStringLiteral("Built-in"), true}};
    const auto none = ResolvedAudioInputDeviceSelection::resolve(std::nullopt, devices);
    EXPECT_EQ(none.requestedDeviceLabel(), QStringLiteral("System Default"));
    EXPECT_FALSE(none.isUsingDefaultFallback());
    EXPECT_EQ(none.deviceToApply()->id, 3u);

    const auto present = ResolvedAudioInputDeviceSelection::resolve(
        AudioInputDevicePreference{QStringLiteral("usb-mic"), QStringLiteral("Old name")}, devices);
    EXPECT_EQ(present.requestedDeviceLabel(), QStringLiteral("USB Mic"));
    EXPECT_FALSE(present.disconnectedPreferenceLabel());
    EXPECT_EQ(present.deviceToApply()->id, 7u);

    const auto gone = ResolvedAudioInputDeviceSelection::resolve(
        AudioInputDevicePreference{QStringLiteral("USB-MIC"), QStringLiteral("Desk Mic")}, devices);  // case matters
    EXPECT_FALSE(gone.preferredDevice);
    EXPECT_TRUE(gone.isUsingDefaultFallback());
    EXPECT_EQ(gone.requestedDeviceLabel(), QStringLiteral("Desk Mic (bagli degil)"));
    EXPECT_EQ(gone.disconnectedPreferenceLabel(), QStringLiteral("Desk Mic (bagli degil)"));
    EXPECT_EQ(gone.deviceToApply()->id, 3u);

    const auto nothing = ResolvedAudioInputDeviceSelection::resolve(
        AudioInputDevicePreference{QStringLiteral("x"), QStringLiteral("X")}, {});
    EXPECT_FALSE(nothing.isUsingDefaultFallback());
    EXPECT_FALSE(nothing.deviceToApply());
}

}  // namespace
}  // namespace quorvelle
