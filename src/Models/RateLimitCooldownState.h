#pragma once

#include <QDateTime>

#include <optional>

namespace quorvelle {

// Until when the backend asked us to stop sending after a rate-limit answer. Callers pass the
// current time in, so the state itself never reads a clock.
struct RateLimitCooldownState {
    std::optional<QDateTime> cooldownUntil;
    // Seconds to wait when the backend named no retry-after.
    double duration = 5.0;

    // Whole seconds left (at least 1); none once the moment has passed, which also ends the cooldown.
    std::optional<int> remainingSeconds(const QDateTime& now);
    // Starts or replaces the cooldown and returns its length in whole seconds (at least 1).
    int start(const QDateTime& now, std::optional<int> retryAfterSeconds);
};

}  // namespace quorvelle
