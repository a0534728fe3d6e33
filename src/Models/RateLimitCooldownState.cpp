#include "Models/RateLimitCooldownState.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorvelle {

std::optional<int> RateLimitCooldownState::remainingSeconds(const QDateTime& now) {
    if (!cooldownUntil) {
        return std::nullopt;
    }
    const double interval = static_cast<double>(now.msecsTo(*cooldownUntil)) / 1000.0;
    if (interval > 0) {
        const double whole = std::min(std::ceil(interval), static_cast<double>(std::numeric_limits<int>::max()));
        return std::max(1, static_cast<int>(whole));
    }
    cooldownUntil.reset();
    return std::nullopt;
}

int RateLimitCooldownState::start(const QDateTime& now, std::optional<int> retryAfterSeconds) {
    int seconds = 1;
    if (retryAfterSeconds) {
        seconds = *retryAfterSeconds;
    } else if (std::isfinite(duration)) {
        // Clamped so that a nonsensical duration cannot overflow the conversion.
        seconds = static_cast<int>(
            std::clamp(std::ceil(duration), 1.0, static_cast<double>(std::numeric_limits<int>::max())));
    }
    seconds = std::max(1, seconds);
    cooldownUntil = now.addSecs(seconds);
    return seconds;
}

}  // namespace quorvelle
