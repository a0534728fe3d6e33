#include "Services/Audio/AudioLevelSampler.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvelle {
namespace {

AudioLevelSnapshot sampleOf(const std::vector<std::int16_t>& samples, int buckets = 12) {
    return AudioLevelSampler(buckets).sample(samples.data(), samples.size());
}

TEST(AudioLevelSampler, SilenceRestsAtZeroAndFullScaleIsClampedToOne) {
    EXPECT_EQ(sampleOf({}), AudioLevelSnapshot::silent(12));
    EXPECT_EQ(sampleOf(std::vector<std::int16_t>(100, 0)), AudioLevelSnapshot::silent(12));
    EXPECT_EQ(sampleOf({}, 0).barLevels.size(), 1u);
    // -32768 is one step beyond full scale and must not read above 1.
    const std::vector<std::int16_t> fullScale[] = {{32767, -32767, 32767, -32767}, {-32768}};
    for (const auto& samples : fullScale) {
        EXPECT_DOUBLE_EQ(sampleOf(samples).averagePower, 1.0);
        EXPECT_DOUBLE_EQ(sampleOf(samples).peakPower, 1.0);
    }
    EXPECT_EQ(sampleOf({32767}).barLevels, (std::vector<double>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(AudioLevelSampler, BucketsCoverRunsOfConsecutiveSamples) {
    // 24 samples over 12 bars: two per bar; bar i holds the louder of its pair.
    std::vector<std::int16_t> samples;
    for (int i = 0; i < 24; ++i)
        samples.push_back(static_cast<std::int16_t>(i % 2 == 0 ? 0 : 1000 * (i / 2 + 1)));
    const auto levels = sampleOf(samples);
    // 13 samples: bucket size 2, so bars 0-6 are filled and 7-11 stay 0.
    const auto thirteen = sampleOf(std::vector<std::int16_t>(13, 16384));
    for (int bar = 0; bar < 12; ++bar) {
        EXPECT_NEAR(levels.barLevels[bar], 1000.0 * (bar + 1) / 32767.0, 1e-12) << bar;
        EXPECT_EQ(thirteen.barLevels[bar] > 0, bar <= 6) << bar;
    }
}

}  // namespace
}  // namespace quorvelle
