#include "ViewModel/RecordingTargetDecision.h"

#include "Services/Delivery/FocusedTargetInspectionError.h"

#include <algorithm>

namespace quorvelle {

RecordingTargetDecision::RecordingTargetDecision(TaskScope& tasks, std::shared_ptr<FocusedTargetInspecting> inspector,
                                                 std::shared_ptr<FocusChangeAwaiting> focusChanges,
                                                 UptimeNanoseconds uptime)
    : m_tasks(tasks),
      m_inspector(std::move(inspector)),
      m_focusChanges(std::move(focusChanges)),
      m_uptime(std::move(uptime)) {}

bool RecordingTargetDecision::isUnfocusedPasswordField(const FocusedTargetSnapshot& target) {
    return target.element.isSecure() && !target.isFocusedElement && !target.isWindowOnly;
}

void RecordingTargetDecision::start(std::optional<FocusedTargetSnapshot> pressTarget, Decide decide) {
    cancel();
    m_pending = true;
    TaskHandle handle = m_tasks.start([this, pressTarget = std::move(pressTarget), decide = std::move(decide)](
                                          TaskGuard guard) { return run(pressTarget, decide, guard); });
    // A decision taken at once (nothing to wait for) leaves no handle behind.
    if (m_pending) m_task = handle;
}

std::optional<CapturedAudioClip> RecordingTargetDecision::takeClip() {
    std::optional<CapturedAudioClip> clip = std::move(m_heldClip);
    m_heldClip.reset();
    return clip;
}

void RecordingTargetDecision::cancel() {
    m_task.cancel();
    m_pending = false;
    m_heldClip.reset();
}

QCoro::Task<void> RecordingTargetDecision::run(std::optional<FocusedTargetSnapshot> pressTarget, Decide decide,
                                               TaskGuard guard) {
    const quint64 pressedAt = m_uptime ? m_uptime() : 0;
    Look look;
    if (!pressTarget) {
        look = co_await lookUntilFocusNamed(pressedAt, guard.stopToken);
        if (!guard) co_return;
        m_pending = false;
        m_task = TaskHandle();
        decide(look);
        co_return;
    }
    const bool arriving = pressTarget->isApplicationArriving;
    look.pressTargetKnown = !arriving;
    for (int wait = 0; wait < kMaximumWaits; ++wait) {
        if (arriving) {
            try {
                co_await m_inspector->awaitFrontApplication(guard.stopToken);
            } catch (...) {
                // A wait that failed (the bus went away) leaves it to the look to tell what is wrong.
            }
        } else {
            co_await awaitFocusAtRest(pressedAt, guard.stopToken);
        }
        if (!guard) co_return;
        look = Look{{}, {}, !arriving};
        try {
            look.target = m_inspector->inspect();
        } catch (...) {
            look.failure = std::current_exception();
        }
        if (!arriving || look.failure || !look.target.isApplicationArriving) break;
    }
    m_pending = false;
    m_task = TaskHandle();
    decide(look);
}

QCoro::Task<RecordingTargetDecision::Look> RecordingTargetDecision::lookUntilFocusNamed(quint64 pressedAt,
                                                                                        std::stop_token stopToken) {
    co_await awaitFocusAtRest(pressedAt, stopToken);
    bool inAnotherWindow = false;
    const auto focusUnnamed = [&inAnotherWindow](const Look& look) {
        inAnotherWindow = false;
        if (!look.failure) return isUnfocusedPasswordField(look.target);
        try {
            std::rethrow_exception(look.failure);
        } catch (const FocusedTargetInspectionError& error) {
            inAnotherWindow = error.isFocusInAnotherWindow();
            return error.errorCase() == FocusedTargetInspectionError::Case::focusedElementUnavailable;
        } catch (...) {
        }
        return false;
    };
    for (int attempt = 1;; ++attempt) {
        if (stopToken.stop_requested()) co_return Look{};
        Look look;
        try {
            look.target = m_inspector->inspect();
        } catch (...) {
            look.failure = std::current_exception();
        }
        if (!focusUnnamed(look) || !m_focusChanges || !m_uptime || attempt >= kFocusSettleEventLimit) co_return look;
        const double limit = inAnotherWindow ? kFocusInAnotherWindowLimitSeconds : kFocusSettleLimitSeconds;
        const double left = limit - double(m_uptime() - pressedAt) / 1e9;
        if (left <= 0) co_return look;
        // The application is still busy, or its focus on its way back: a moment, or its next move.
        // Where it names its focus in another window, only its report of the front one's helps.
        co_await m_focusChanges->nextFocusChange(inAnotherWindow ? left : std::min(kFocusRetrySeconds, left),
                                                 stopToken);
    }
}

QCoro::Task<void> RecordingTargetDecision::awaitFocusAtRest(quint64 pressedAt, std::stop_token stopToken) {
    if (!m_focusChanges || !m_uptime) co_return;
    const auto secondsSince = [this](quint64 start) { return double(m_uptime() - start) / 1e9; };
    double quiet = kFocusArrivalSeconds;
    for (int event = 0; event < kFocusSettleEventLimit; ++event) {
        const double wait = std::min(quiet, kFocusSettleLimitSeconds - secondsSince(pressedAt));
        if (wait <= 0) co_return;
        const quint64 waitStart = m_uptime();
        co_await m_focusChanges->nextFocusChange(wait, stopToken);
        // No move for the whole wait: the focus rests.
        if (secondsSince(waitStart) >= wait) co_return;
        quiet = kFocusRestSeconds;
    }
}

}  // namespace quorvelle
