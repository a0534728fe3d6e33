#include "Models/RateLimitCooldownState.h"
#include "Models/RollingTranscriptionTelemetryStore.h"

#include <gtest/gtest.h>

#include <limits>

using quorvelle::RateLimitCooldownState;
using quorvelle::RollingTranscriptionTelemetryStore;
using quorvelle::TranscriptionTelemetrySnapshot;

namespace {

TranscriptionTelemetrySnapshot snapshot(int count, int successes, int last, int p50, int p95) {
    TranscriptionTelemetrySnapshot result;
    result.sampleCount = count;
    result.successCount = successes;
    result.failureCount = count - successes;
    result.lastElapsedMs = last;
    result.p50ElapsedMs = p50;
    result.p95ElapsedMs = p95;
    return result;
}

const QDateTime base = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);

}  // namespace

TEST(TranscriptionTelemetry, SnapshotCountsPercentilesAndSummary) {
    using Sample = TranscriptionTelemetrySnapshot::Sample;
    EXPECT_EQ(TranscriptionTelemetrySnapshot(QList<Sample>{}), TranscriptionTelemetrySnapshot());
    EXPECT_FALSE(TranscriptionTelemetrySnapshot().summaryLine().has_value());
    EXPECT_EQ(TranscriptionTelemetrySnapshot().targetSummaryLine(), "Hedef p50 < 2.50s, p95 < 5.00s");

    const struct {
        QList<Sample> samples;
        TranscriptionTelemetrySnapshot expected;
        QString summary;
    } cases[] = {
        {{{1500, true}}, snapshot(1, 1, 1500, 1500, 1500), "Latency son 1.50s | p50 1.50s | p95 1.50s"},
        // Unsorted input; failures count in the percentiles; last is the newest, not the largest.
        {{{4010, false}, {980, true}, {700, true}, {1234, false}},
         snapshot(4, 2, 1234, 980, 4010),
         "Latency son 1.23s | p50 0.98s | p95 4.01s"},
    };
    for (const auto& c : cases) {
        const TranscriptionTelemetrySnapshot actual(c.samples);
        EXPECT_EQ(actual, c.expected) << c.summary.toStdString();
        EXPECT_EQ(actual.summaryLine(), c.summary);
    }

    TranscriptionTelemetrySnapshot partial = snapshot(1, 1, 10, 10, 10);
    partial.p95ElapsedMs.reset();
    EXPECT_FALSE(partial.summaryLine().has_value());
}

TEST(RollingTranscriptionTelemetryStore, StartsEmptyClampsNegativeAndKeepsNewestFifty) {
    RollingTranscriptionTelemetryStore store;
    EXPECT_EQ(store.snapshot(), TranscriptionTelemetrySnapshot());
    store.record(-250, false);
    EXPECT_EQ(store.snapshot(), snapshot(1, 0, 0, 0, 0));

    // The first sample (0 ms, failed) is pushed out by the 51st record.
    for (int i = 1; i <= 50; ++i) {
        store.record(i * 100, true);
    }
    EXPECT_EQ(store.snapshot(), snapshot(50, 50, 5000, 2500, 4800));
    store.record(1, false);  // 100 ms leaves, 1 ms comes in
    EXPECT_EQ(store.snapshot(), snapshot(50, 49, 1, 2500, 4800));
}

TEST(RateLimitCooldownState, StartChoosesLengthAndSetsEnd) {
    EXPECT_EQ(RateLimitCooldownState().duration, 5.0);
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
    }
}
