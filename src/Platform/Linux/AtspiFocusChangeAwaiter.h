#pragma once

#include "Services/Delivery/FocusChangeAwaiting.h"

#include <QtGlobal>
#include <functional>
#include <optional>

namespace quorvelle {

// Wakes its waiters at AT-SPI's focus events, as the focus tracker hands them on, and follows the focus taken away and
// given back, and when each application last reported a gain. The wake-up is queued behind the event, so that the whole
// event has been handled first. Main thread only.
class AtspiFocusChangeAwaiter final : public FocusChangeAwaiting {
public:
    // The process that owns the front window; none when no window is in front or it names none.
    using FrontProcessReader = std::function<std::optional<qint32>()>;
    // Reads the key presses the server handled so far, before a report is noted: a report is then
    // known to come after every press it could answer.
    using KeyPressCatchUp = std::function<void()>;
    // Starts listening at once: the first wait must not miss the event that ends it.
    explicit AtspiFocusChangeAwaiter(FrontProcessReader frontProcess, KeyPressCatchUp catchUpKeyPresses = {});
    ~AtspiFocusChangeAwaiter() override;
    AtspiFocusChangeAwaiter(const AtspiFocusChangeAwaiter&) = delete;
    AtspiFocusChangeAwaiter& operator=(const AtspiFocusChangeAwaiter&) = delete;

    QCoro::Task<void> nextFocusChange(double timeoutSeconds, std::stop_token stopToken) override;
    bool isFocusAway() const override;
    std::optional<std::chrono::milliseconds> sinceFocusReport(qint32 processIdentifier) override;
    QCoro::Task<bool> nextFocusReport(qint32 processIdentifier, double timeoutSeconds,
                                      std::stop_token stopToken) override;

private:
    std::optional<std::chrono::steady_clock::time_point> lastReportOf(qint32 processIdentifier) const;

    FrontProcessReader m_frontProcess;
};

}  // namespace quorvelle
