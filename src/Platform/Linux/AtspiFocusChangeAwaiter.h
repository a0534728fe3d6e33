#pragma once

#include "Services/Delivery/FocusChangeAwaiting.h"

namespace quorvelle {

// Wakes its waiters at AT-SPI's focus events, and follows the focus taken away and given back. The wake-up is queued
// behind the event, so that every other listener of it (the focus tracker) has seen it first. Main thread only.
class AtspiFocusChangeAwaiter final : public FocusChangeAwaiting {
public:
    // Starts listening at once: the first wait must not miss the event that ends it.
    AtspiFocusChangeAwaiter();
    QCoro::Task<void> nextFocusChange(double timeoutSeconds, std::stop_token stopToken) override;
    bool isFocusAway() const override;
};

}  // namespace quorvelle
