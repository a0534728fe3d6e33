#pragma once

#include "Services/Audio/AudioCapturing.h"
#include "Services/Delivery/FocusChangeAwaiting.h"
#include "Services/Delivery/FocusedTargetInspecting.h"
#include "Support/TaskScope.h"

#include <exception>
#include <functional>
#include <memory>
#include <optional>

namespace quorvelle {

// The target of a press, decided once the focus had a moment to rest. A key pressed right before the
// hot key (a Tab to a form's password field) reaches the application's accessibility only after the
// press was read, in Firefox hundreds of milliseconds later; and a window whose application is still
// on its way to the accessibility bus cannot be read at all yet. The recording runs from the press
// while this waits, without holding the thread, and looks at the window again. A recording stopped
// before the decision leaves its clip here: nothing of it is transcribed before the decision lets it
// go, and a refusal drops it. Main thread only.
class RecordingTargetDecision {
public:
    // What a look at the front window found: the target, or the inspection's failure.
    struct Look {
        FocusedTargetSnapshot target;
        std::exception_ptr failure;
        // The press's own look found a target that it let through: this one may change it.
        bool pressTargetKnown = false;
    };
    using Decide = std::function<void(const Look& look)>;
    using UptimeNanoseconds = std::function<quint64()>;
    // The front window may turn to another application on its way meanwhile: each is waited for, up
    // to this many.
    static constexpr int kMaximumWaits = 3;
    // How long a key pressed just before the press may take to move the focus where the bus shows it,
    // how long the focus must then rest after each move, and the bound of the whole wait. A clip
    // shorter than the first is refused anyway, so a dictation is not held up by it.
    static constexpr double kFocusArrivalSeconds = 0.4;
    static constexpr double kFocusRestSeconds = 0.1;
    static constexpr double kFocusSettleLimitSeconds = 1.0;
    static constexpr int kFocusSettleEventLimit = 16;
    // A press that found no focused element looks again this often once the focus rested, up to the
    // bound above.
    static constexpr double kFocusRetrySeconds = 0.1;
    // The bound instead while the application in front names an element of another of its windows as
    // its focus (a busy one tells of the focus its window in front took seconds late): each of its
    // focus events brings a look.
    static constexpr double kFocusInAnotherWindowLimitSeconds = 4.0;

    // A password field the look found that does not claim the focus itself: found near the focus, or
    // in a window whose application named no focus. It may not be where the words would go, so it
    // does not decide the press before the focus rested; a look that finds nothing better then
    // refuses the press all the same.
    static bool isUnfocusedPasswordField(const FocusedTargetSnapshot& target);

    RecordingTargetDecision(TaskScope& tasks, std::shared_ptr<FocusedTargetInspecting> inspector,
                            std::shared_ptr<FocusChangeAwaiting> focusChanges, UptimeNanoseconds uptime);

    // Waits and looks again; `decide` gets the look, unless the decision is cancelled first.
    // `pressTarget` is what the press found, when it let it through; none when the press's look found
    // no focused element in a window on the accessibility bus.
    void start(std::optional<FocusedTargetSnapshot> pressTarget, Decide decide);
    bool isPending() const { return m_pending; }
    void holdClip(CapturedAudioClip clip) { m_heldClip = std::move(clip); }
    bool holdsClip() const { return m_heldClip.has_value(); }
    // The held clip, no longer held.
    std::optional<CapturedAudioClip> takeClip();
    // Ends the wait without a decision and drops the held clip.
    void cancel();

private:
    QCoro::Task<void> run(std::optional<FocusedTargetSnapshot> pressTarget, Decide decide, TaskGuard guard);
    // Returns once no focus event came for a while after the press, or the bound passed.
    QCoro::Task<void> awaitFocusAtRest(quint64 pressedAt, std::stop_token stopToken);
    // Once the focus rested, looks until a look names a focused element or the bound passed.
    QCoro::Task<Look> lookUntilFocusNamed(quint64 pressedAt, std::stop_token stopToken);

    TaskScope& m_tasks;
    std::shared_ptr<FocusedTargetInspecting> m_inspector;
    std::shared_ptr<FocusChangeAwaiting> m_focusChanges;
    UptimeNanoseconds m_uptime;
    TaskHandle m_task;
    bool m_pending = false;
    std::optional<CapturedAudioClip> m_heldClip;
};

}  // namespace quorvelle
