#pragma once

#include "Models/SessionState.h"
#include "Support/CancellableSleep.h"
#include "Support/Clocks.h"

#include <functional>
#include <optional>

namespace quorvelle {

// The clocks, waits and constants of the view model: fixed at construction, live by default, and
// replaced as a whole by tests so that they drive time instead of waiting for it.
struct ViewModelEnvironment {
    NowProvider nowProvider;
    UptimeNanosecondsProvider uptimeNanosecondsProvider;
    Sleeper recordingDurationSleep;
    double clipboardPasteVerificationDelaySeconds = 0.15;
    Sleeper clipboardPasteVerificationSleep;
    // The short steps of the wait for the focus to come back to the field after the hot key lets go,
    // where no service reports the focus's moves.
    Sleeper focusSettleSleep;
    double backendAuthPollIntervalSeconds = 2.0;
    int backendAuthPollAttemptLimit = 300;
    Sleeper backendAuthPollSleep;
    // How long a final state stays on screen; none for states that are never dismissed.
    std::function<std::optional<double>(const SessionState&)> terminalStateDismissDelayProvider;
    Sleeper terminalStateDismissSleep;

    // The wall clock, the monotonic clock, real timers and the dismissal table.
    static ViewModelEnvironment live();
    // The same with every sleeper replaced by one.
    static ViewModelEnvironment withSleeper(Sleeper sleeper, NowProvider now, UptimeNanosecondsProvider uptime);
};

// The default dismissal delays in seconds: none while idle or busy.
std::optional<double> terminalStateDismissDelay(const SessionState& state);

}  // namespace quorvelle
