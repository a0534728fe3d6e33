#pragma once

#include "Services/Delivery/FocusChangeAwaiting.h"

#include <QtGlobal>
#include <functional>
#include <optional>

namespace quorvelle {

// Wakes its waiters at AT-SPI's focus events, as the focus tracker hands them on, and follows the focus taken away and
// given back. The wake-up is queued behind the event, so that the whole event has been handled first. Main thread only.
class AtspiFocusChangeAwaiter final : public FocusChangeAwaiting {
public:
    // The process that owns the front window; none when no window is in front or it names none.
    using FrontProcessReader = std::function<std::optional<qint32>()>;
    // Starts listening at once: the first wait must not miss the event that ends it.
    explicit AtspiFocusChangeAwaiter(FrontProcessReader frontProcess);
    QCoro::Task<void> nextFocusChange(double timeoutSeconds, std::stop_token stopToken) override;
    bool isFocusAway() const override;

private:
    FrontProcessReader m_frontProcess;
};

}  // namespace quorvelle
