#pragma once

#include "Services/Delivery/FocusChangeAwaiting.h"

namespace quorvelle {

// Wakes its waiters at AT-SPI's focus events, as the focus tracker hands them on, and follows the focus taken away and
// given back. The wake-up is queued behind the event, so that the whole event has been handled first. Main thread only.
class AtspiFocusChangeAwaiter final : public FocusChangeAwaiting {
public:
    // Starts listening at once: the first wait must not miss the event that ends it.
    AtspiFocusChangeAwaiter();
    QCoro::Task<void> nextFocusChange(double timeoutSeconds, std::stop_token stopToken) override;
    bool isFocusAway() const override;
};

}  // namespace quorvelle
