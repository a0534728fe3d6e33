#include "Platform/Linux/AtspiFocusChangeAwaiter.h"

#include "Platform/Linux/AtspiFocusTracker.h"
#include "Support/CancellableSleep.h"

namespace quorvelle {

namespace {

WakeableSleeps waiting;

// Told by the focus tracker, after it took the event in.
void onFocusGained() {
    waiting.wakeAll();
}

bool listen() {
    static const bool observing = [] {
        AtspiFocusTracker::observeGains(&onFocusGained);
        return true;
    }();
    return observing && AtspiFocusTracker::start();
}

}  // namespace

AtspiFocusChangeAwaiter::AtspiFocusChangeAwaiter(FrontProcessReader frontProcess)
    : m_frontProcess(std::move(frontProcess)) {
    listen();
}

bool AtspiFocusChangeAwaiter::isFocusAway() const {
    return AtspiFocusTracker::isFocusAway(m_frontProcess ? m_frontProcess() : std::nullopt);
}

QCoro::Task<void> AtspiFocusChangeAwaiter::nextFocusChange(double timeoutSeconds, std::stop_token stopToken) {
    // Without the bus no event comes: the timeout alone ends the wait.
    listen();
    return waiting.sleep(timeoutSeconds, std::move(stopToken));
}

}  // namespace quorvelle
