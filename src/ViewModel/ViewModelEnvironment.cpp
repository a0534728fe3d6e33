#include "ViewModel/ViewModelEnvironment.h"

namespace quorvelle {

ViewModelEnvironment ViewModelEnvironment::live() {
    return withSleeper(&sleepFor, &currentDate, &monotonicUptimeNanoseconds);
}

ViewModelEnvironment ViewModelEnvironment::withSleeper(Sleeper sleeper, NowProvider now,
                                                       UptimeNanosecondsProvider uptime) {
    ViewModelEnvironment environment;
    environment.nowProvider = std::move(now);
    environment.uptimeNanosecondsProvider = std::move(uptime);
    environment.recordingDurationSleep = sleeper;
    environment.clipboardPasteVerificationSleep = sleeper;
    environment.focusSettleSleep = sleeper;
    environment.backendAuthPollSleep = sleeper;
    environment.terminalStateDismissDelayProvider = &terminalStateDismissDelay;
    environment.terminalStateDismissSleep = std::move(sleeper);
    return environment;
}

std::optional<double> terminalStateDismissDelay(const SessionState& state) {
    using Kind = SessionState::Kind;
    switch (state.kind()) {
        case Kind::idle:
        case Kind::recording:
        case Kind::uploading:
        case Kind::injecting: return std::nullopt;
        case Kind::fallbackCopied: return 3.0;
        case Kind::success: return 2.0;
        case Kind::blocked: return state.blockReason() == SessionBlockReason::permissionsMissing ? 5.0 : 3.0;
        case Kind::error: break;
    }
    using C = QuorvelleErrorCase;
    switch (state.error()->errorCase()) {
        case C::rateLimitedRetryAfter:
        case C::microphonePermissionDenied:
        case C::accessibilityPermissionDenied:
        case C::invalidAPIKey:
        case C::rateLimited: return 5.0;
        default: return 3.0;
    }
}

}  // namespace quorvelle
