#pragma once

#include "Services/Audio/AudioCapturing.h"
#include "Services/Delivery/FocusedTargetInspecting.h"
#include "Support/TaskScope.h"

#include <exception>
#include <functional>
#include <memory>
#include <optional>

namespace quorvelle {

// The target of a press whose window belongs to an application still on its way to the accessibility
// bus, where what the window holds (a password field?) cannot be read yet. The recording runs from
// the press while this waits for the application, without holding the thread, and looks at the
// window again. A recording stopped before the decision leaves its clip here: nothing of it is
// transcribed before the decision lets it go, and a refusal drops it. Main thread only.
class RecordingTargetDecision {
public:
    // What a look at the front window found: the target, or the inspection's failure.
    struct Look {
        FocusedTargetSnapshot target;
        std::exception_ptr failure;
    };
    using Decide = std::function<void(const Look& look)>;
    // The front window may turn to another application on its way meanwhile: each is waited for, up
    // to this many.
    static constexpr int kMaximumWaits = 3;

    RecordingTargetDecision(TaskScope& tasks, std::shared_ptr<FocusedTargetInspecting> inspector);

    // Waits and looks again; `decide` gets the look, unless the decision is cancelled first.
    void start(Decide decide);
    bool isPending() const { return m_pending; }
    void holdClip(CapturedAudioClip clip) { m_heldClip = std::move(clip); }
    bool holdsClip() const { return m_heldClip.has_value(); }
    // The held clip, no longer held.
    std::optional<CapturedAudioClip> takeClip();
    // Ends the wait without a decision and drops the held clip.
    void cancel();

private:
    QCoro::Task<void> run(Decide decide, TaskGuard guard);

    TaskScope& m_tasks;
    std::shared_ptr<FocusedTargetInspecting> m_inspector;
    TaskHandle m_task;
    bool m_pending = false;
    std::optional<CapturedAudioClip> m_heldClip;
};

}  // namespace quorvelle
