#include "Models/QuorvelleError.h"
#include "Services/Audio/PCM16WAVDecoder.h"
#include "Services/Audio/WAVFileEncoder.h"

#include <QtEndian>

#include <gmock/gmock.h>

namespace quorvelle {
namespace {

std::uint32_t u32(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<std::uint32_t>(bytes.constData() + offset);
}

QByteArray pcmOf(const std::vector<std::int16_t>& samples) {  // little-endian, like the machines we build for
    return QByteArray(reinterpret_cast<const char*>(samples.data()), qsizetype(samples.size() * 2));
}

// A file of arbitrary chunks after the RIFF/WAVE header.
QByteArray riffOf(const QList<QPair<QByteArray, QByteArray>>& chunks) {
    QByteArray file("RIFF\0\0\0\0WAVE", 12);
    for (const auto& [id, body] : chunks) {
        const auto size = static_cast<std::uint32_t>(body.size());
        file.append(id).append(reinterpret_cast<const char*>(&size), 4).append(body);
        if (body.size() % 2 == 1) file.append('\0');
    }
    return file;
}

// Tag, channels, rate and bits; the byte rate and block alignment, which the decoder ignores, left 0.
QByteArray fmtBody(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
    const std::uint16_t fields[8] = {tag, channels, std::uint16_t(rate), std::uint16_t(rate >> 16), 0, 0, 0, bits};
    return QByteArray(reinterpret_cast<const char*>(fields), sizeof fields);
}

auto refusedAs(QuorvelleErrorCase errorCase) {
    return testing::Throws<QuorvelleError>(testing::Property(&QuorvelleError::errorCase, errorCase));
}

TEST(WAVFileEncoder, HeaderFieldsFollowTheDataAndRateAndTheDecoderReadsThemBack) {
    const QByteArray file = WAVFileEncoder().encode(QByteArray(32000, '\x01'), 16000.0);
    ASSERT_EQ(file.size(), 32044);
    EXPECT_EQ((std::vector{u32(file, 4), u32(file, 24), u32(file, 28), u32(file, 40)}),
              (std::vector<std::uint32_t>{32036, 16000, 32000, 32000}));
    EXPECT_THAT([] { PCM16WAVDecoder::decode(WAVFileEncoder().encode({}, 16000)); },
                refusedAs(QuorvelleErrorCase::noSpeechDetected));

    const std::vector<std::int16_t> samples{0, 1, -1, 32767, -32767, 12345, -32768};
    const auto decoded = PCM16WAVDecoder::decode(WAVFileEncoder().encode(pcmOf(samples), 16000));
    ASSERT_EQ(decoded.size(), samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        EXPECT_FLOAT_EQ(decoded[i], static_cast<float>(samples[i]) / 32767.0f) << i;
}

TEST(PCM16WAVDecoder, RefusesMalformedAndUnsupportedFiles) {
    const QByteArray fmt = fmtBody(1, 1, 16000, 16);
    const QByteArray data = pcmOf({1, 2, 3});
    const QByteArray good = riffOf({{"fmt ", fmt}, {"data", data}});
    ASSERT_EQ(PCM16WAVDecoder::decode(good).size(), 3u);

    const QByteArray notRiff = QByteArray(good).replace(0, 1, "X");
    QByteArray dataTooLong = good;
    qToLittleEndian<std::uint32_t>(1000, dataTooLong.data() + dataTooLong.size() - data.size() - 4);
    QByteArray hugeSize = good;  // a size near 4 GiB must not wrap around the bounds check
    qToLittleEndian<std::uint32_t>(0xFFFFFFF8u, hugeSize.data() + 16);

    const QList<QPair<const char*, QByteArray>> cases{
        {"43 bytes", good.left(43)},
        {"not RIFF", notRiff},
        {"float", riffOf({{"fmt ", fmtBody(3, 1, 16000, 32)}, {"data", data}})},
        {"no channels", riffOf({{"fmt ", fmtBody(1, 0, 16000, 16)}, {"data", data}})},
        {"short fmt", riffOf({{"fmt ", fmt.left(14)}, {"data", data}})},
        {"no data", riffOf({{"fmt ", fmt}, {"LIST", QByteArray(30, 'x')}})},
        {"zero rate", riffOf({{"fmt ", fmtBody(1, 1, 0, 16)}, {"data", data}})},
        {"data past the end", dataTooLong},
        {"chunk size near 4 GiB", hugeSize},
        // 2 s of data at a declared 1 Hz would become 32,000 s of 16 kHz samples.
        {"absurdly low rate",
         riffOf({{"fmt ", fmtBody(1, 1, 1, 16)}, {"data", pcmOf(std::vector<std::int16_t>(4000, 1))}})},
    };
    for (const auto& c : cases)
        EXPECT_THAT([&] { PCM16WAVDecoder::decode(c.second); }, refusedAs(QuorvelleErrorCase::unexpectedRuntimeFailure))
            << c.first;
}

TEST(PCM16WAVDecoder, WalksChunksMixesChannelsAndResamplesLinearly) {
    // An odd-sized chunk between fmt and data is skipped with its pad byte.
    const auto withList = PCM16WAVDecoder::decode(
        riffOf({{"fmt ", fmtBody(1, 1, 16000, 16)}, {"LIST", QByteArray(3, 'x')}, {"data", pcmOf({100, 200})}}));
    ASSERT_EQ(withList.size(), 2u);
    EXPECT_FLOAT_EQ(withList[1], 200.0f / 32767.0f);

    // Stereo frames mix down to their mean; a trailing half frame is ignored.
    const QByteArray stereo = pcmOf({16383, -16383, 16383, -16383}) + '\x05';
    EXPECT_EQ(PCM16WAVDecoder::decode(riffOf({{"fmt ", fmtBody(1, 2, 16000, 16)}, {"data", stereo}})),
              (std::vector<float>{0, 0}));

    const auto decodeAt = [](std::uint32_t rate, std::size_t frames) {
        return PCM16WAVDecoder::decode(
            riffOf({{"fmt ", fmtBody(1, 1, rate, 16)}, {"data", pcmOf(std::vector<std::int16_t>(frames, 1000))}}));
    };
    EXPECT_EQ(decodeAt(44100, 44100).size(), 16000u);
    EXPECT_EQ(decodeAt(16001, 16001).size(), 16000u);  // only exactly 16 kHz skips resampling
    EXPECT_EQ(decodeAt(16000, 777).size(), 777u);

    // Interpolated, then clamped to the last sample.
    EXPECT_EQ(PCM16WAVDecoder::resample({0.0f, 1.0f}, 8000, 16000), (std::vector<float>{0.0f, 0.5f, 1.0f, 1.0f}));
    EXPECT_TRUE(PCM16WAVDecoder::resample({}, 8000, 16000).empty());
    EXPECT_EQ(PCM16WAVDecoder::resample({0.25f, 0.5f}, 0, 16000), (std::vector<float>{0.25f, 0.5f}));
}

}  // namespace
}  // namespace quorvelle
