#include "Models/RateLimitCooldownState.h"
#include "Models/RollingTranscriptionTelemetryStore.h"

#include <gtest/gtest.h>

#include <numeric>

using quorvelle::RateLimitCooldownState;
using quorvelle::RollingTranscriptionTelemetryStore;
using quorvelle::TranscriptionTelemetrySnapshot;

namespace {

std::vector<int> oneTo(int n)
{
    std::vector<int> values(static_cast<size_t>(n));
    std::iota(values.begin(), values.end(), 1);
    return values;
}

const QDateTime base = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);

} // namespace

TEST(TranscriptionTelemetry, PercentileUsesNearestRank)
{
    const struct {
        int count;
        double fraction;
        std::optional<int> expected;
    } cases[] = {
        {0, 0.5, std::nullopt}, {1, 0.5, 1},   {1, 0.95, 1},  {2, 0.5, 1},  {2, 0.95, 2},
        {10, 0.5, 5},           {10, 0.95, 10}, {20, 0.95, 19}, {50, 0.5, 25}, {50, 0.95, 48},
        {5, 0.0, 1},            {5, 1.0, 5},    {5, 1.7, 5},   {5, -0.3, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TranscriptionTelemetrySnapshot::percentile(oneTo(c.count), c.fraction), c.expected)
            << c.count << " @ " << c.fraction;
    }
}

TEST(TranscriptionTelemetry, SnapshotOfSamples)
{
    using Sample = TranscriptionTelemetrySnapshot::Sample;
    const TranscriptionTelemetrySnapshot empty(QList<Sample>{});
    EXPECT_EQ(empty, TranscriptionTelemetrySnapshot());
    EXPECT_EQ(empty.sampleCount, 0);
    EXPECT_FALSE(empty.lastElapsedMs.has_value());
    EXPECT_FALSE(empty.summaryLine().has_value());
    EXPECT_EQ(empty.targetSummaryLine(), "Hedef p50 < 2.50s, p95 < 5.00s");

    const TranscriptionTelemetrySnapshot one(QList<Sample>{{1500, true}});
    EXPECT_EQ(one.sampleCount, 1);
    EXPECT_EQ(one.successCount, 1);
    EXPECT_EQ(one.failureCount, 0);
    EXPECT_EQ(one.lastElapsedMs, 1500);
    EXPECT_EQ(one.p50ElapsedMs, 1500);
    EXPECT_EQ(one.p95ElapsedMs, 1500);
    EXPECT_EQ(one.summaryLine(), QString("Latency son 1.50s | p50 1.50s | p95 1.50s"));

    // Unsorted input, failures counted in the percentiles, last = newest not largest.
    const TranscriptionTelemetrySnapshot mixed(QList<Sample>{{4010, false}, {980, true}, {700, true}, {1234, false}});
    EXPECT_EQ(mixed.sampleCount, 4);
    EXPECT_EQ(mixed.successCount, 2);
    EXPECT_EQ(mixed.failureCount, 2);
    EXPECT_EQ(mixed.lastElapsedMs, 1234);
    EXPECT_EQ(mixed.p50ElapsedMs, 980);
    EXPECT_EQ(mixed.p95ElapsedMs, 4010);
    EXPECT_EQ(mixed.summaryLine(), QString("Latency son 1.23s | p50 0.98s | p95 4.01s"));
}

TEST(TranscriptionTelemetry, SummaryNeedsAllThreeValues)
{
    TranscriptionTelemetrySnapshot partial;
    partial.lastElapsedMs = 10;
    partial.p50ElapsedMs = 10;
    EXPECT_FALSE(partial.summaryLine().has_value());
    partial.p95ElapsedMs = 12345;
    EXPECT_EQ(partial.summaryLine(), QString("Latency son 0.01s | p50 0.01s | p95 12.35s"));
}

TEST(RollingTranscriptionTelemetryStore, StartsEmptyClampsNegativeAndKeepsNewestFifty)
{
    RollingTranscriptionTelemetryStore store;
    EXPECT_EQ(store.sampleLimit(), 50);
    EXPECT_EQ(store.snapshot(), TranscriptionTelemetrySnapshot());

    store.record(-250, false);
    EXPECT_EQ(store.snapshot().lastElapsedMs, 0);
    EXPECT_EQ(store.snapshot().failureCount, 1);

    // The first sample (0 ms, failed) is pushed out by the 51st record.
    for (int i = 1; i <= 50; ++i) {
        store.record(i * 100, true);
    }
    const auto snapshot = store.snapshot();
    EXPECT_EQ(snapshot.sampleCount, 50);
    EXPECT_EQ(snapshot.successCount, 50);
    EXPECT_EQ(snapshot.failureCount, 0);
    EXPECT_EQ(snapshot.lastElapsedMs, 5000);
    EXPECT_EQ(snapshot.p50ElapsedMs, 2500);
    EXPECT_EQ(snapshot.p95ElapsedMs, 4800);

    store.record(1, false);
    EXPECT_EQ(store.snapshot().sampleCount, 50);
    EXPECT_EQ(store.snapshot().failureCount, 1);
    EXPECT_EQ(store.snapshot().p50ElapsedMs, 2500); // 100 left, 1 came in
    EXPECT_EQ(store.snapshot().lastElapsedMs, 1);
}

TEST(RateLimitCooldownState, StartChoosesLengthAndSetsEnd)
{
    const struct {
        std::optional<int> retryAfter;
        double duration;
        int expected;
    } cases[] = {
        {0, 5.0, 1},  {-7, 5.0, 1}, {30, 5.0, 30}, {std::nullopt, 5.0, 5},
        {std::nullopt, 2.1, 3}, {std::nullopt, 0.0, 1}, {std::nullopt, -4.0, 1},
        {std::nullopt, std::numeric_limits<double>::quiet_NaN(), 1},
    };
    for (const auto& c : cases) {
        RateLimitCooldownState state;
        state.duration = c.duration;
        EXPECT_EQ(state.start(base, c.retryAfter), c.expected) << c.duration;
        ASSERT_TRUE(state.cooldownUntil.has_value());
        EXPECT_EQ(*state.cooldownUntil, base.addSecs(c.expected));
    }
    EXPECT_EQ(RateLimitCooldownState().duration, 5.0);
}

TEST(RateLimitCooldownState, RemainingSecondsRoundsUpAndClearsWhenPassed)
{
    RateLimitCooldownState state;
    EXPECT_FALSE(state.remainingSeconds(base).has_value());

    ASSERT_EQ(state.start(base, 10), 10);
    const struct {
        qint64 msAfterStart;
        std::optional<int> expected;
    } running[] = {{0, 10}, {1, 10}, {999, 10}, {1000, 9}, {9001, 1}, {9800, 1}, {9999, 1}};
    for (const auto& c : running) {
        EXPECT_EQ(state.remainingSeconds(base.addMSecs(c.msAfterStart)), c.expected) << c.msAfterStart;
    }

    EXPECT_FALSE(state.remainingSeconds(base.addSecs(10)).has_value());
    EXPECT_FALSE(state.cooldownUntil.has_value());
    // Cleared: an earlier time no longer sees the old cooldown.
    EXPECT_FALSE(state.remainingSeconds(base.addSecs(2)).has_value());

    state.start(base, 10);
    EXPECT_FALSE(state.remainingSeconds(base.addSecs(60)).has_value());
    EXPECT_FALSE(state.cooldownUntil.has_value());

    // A new start replaces the running end time, even with a shorter one.
    state.start(base, 60);
    state.start(base.addSecs(1), 3);
    EXPECT_EQ(state.remainingSeconds(base.addSecs(1)), 3);
}
