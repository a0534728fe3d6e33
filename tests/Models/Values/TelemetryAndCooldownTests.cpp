#include "Models/RateLimitCooldownState.h"
#include "Models/RollingTranscriptionTelemetryStore.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

using quorvelle::RateLimitCooldownState;
using quorvelle::RollingTranscriptionTelemetryStore;
using quorvelle::TranscriptionTelemetrySnapshot;

namespace {

TranscriptionTelemetrySnapshot snapshot(int count, int successes, int last, int p50, int p95) {
    TranscriptionTelemetrySnapshot s;
    std::tie(s.sampleCount, s.successCount, s.failureCount) = std::tuple(count, successes, count - successes);
    std::tie(s.lastElapsedMs, s.p50ElapsedMs, s.p95ElapsedMs) = std::tuple(last, p50, p95);
    return s;
}

const QDateTime base = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);

}  // namespace

TEST(TranscriptionTelemetry, SnapshotCountsPercentilesAndSummaryOfTheNewestFiftySamples) {
    RollingTranscriptionTelemetryStore store;
    EXPECT_EQ(store.snapshot(), TranscriptionTelemetrySnapshot());
    EXPECT_FALSE(store.snapshot().summaryLine().has_value());
    // Unsorted input; failures count in the percentiles; last is the newest, not the largest.
    for (const auto& [elapsedMs, succeeded] : {std::pair(4010, false), {980, true}, {700, true}, {1234, false}})
        store.record(elapsedMs, succeeded);
    EXPECT_EQ(store.snapshot(), snapshot(4, 2, 1234, 980, 4010));
    EXPECT_EQ(store.snapshot().summaryLine(), "Latency son 1.23s | p50 0.98s | p95 4.01s");

    RollingTranscriptionTelemetryStore full;
    full.record(-250, false);
    EXPECT_EQ(full.snapshot(), snapshot(1, 0, 0, 0, 0));
    // The first sample (0 ms, failed) is pushed out by the 51st record.
    for (int i = 1; i <= 50; ++i)
        full.record(i * 100, true);
    EXPECT_EQ(full.snapshot(), snapshot(50, 50, 5000, 2500, 4800));
    full.record(1, false);  // 100 ms leaves, 1 ms comes in
    EXPECT_EQ(full.snapshot(), snapshot(50, 49, 1, 2500, 4800));
}

TEST(RateLimitCooldownState, StartChoosesLengthAndSetsEnd) {
    // Retry-After, the configured length, the seconds chosen.
    const std::tuple<std::optional<int>, double, int> cases[] = {
        {0, 5.0, 1},
        {-7, 5.0, 1},
        {30, 5.0, 30},
        {std::nullopt, 2.1, 3},
        {std::nullopt, -4.0, 1},
        {std::nullopt, std::numeric_limits<double>::quiet_NaN(), 1},
    };
    for (const auto& [retryAfter, duration, expected] : cases) {
        RateLimitCooldownState state;
        state.duration = duration;
        EXPECT_EQ(state.start(base, retryAfter), expected) << duration;
        EXPECT_EQ(state.cooldownUntil, base.addSecs(expected));
        // A cooldown counts whole seconds up and is over at its very end.
        EXPECT_EQ(state.remainingSeconds(base.addMSecs(expected * 1000 - 1)), 1);
        EXPECT_EQ(state.remainingSeconds(base.addSecs(expected)), std::nullopt);
    }
}
