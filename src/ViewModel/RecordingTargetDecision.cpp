#include "ViewModel/RecordingTargetDecision.h"

namespace quorvelle {

RecordingTargetDecision::RecordingTargetDecision(TaskScope& tasks, std::shared_ptr<FocusedTargetInspecting> inspector)
    : m_tasks(tasks), m_inspector(std::move(inspector)) {}

void RecordingTargetDecision::start(Decide decide) {
    cancel();
    m_pending = true;
    TaskHandle handle =
        m_tasks.start([this, decide = std::move(decide)](TaskGuard guard) { return run(decide, guard); });
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

QCoro::Task<void> RecordingTargetDecision::run(Decide decide, TaskGuard guard) {
    Look look;
    for (int wait = 0; wait < kMaximumWaits; ++wait) {
        try {
            co_await m_inspector->awaitFrontApplication(guard.stopToken);
        } catch (...) {
            // A wait that failed (the bus went away) leaves it to the look to tell what is wrong.
        }
        if (!guard) co_return;
        look = Look{};
        try {
            look.target = m_inspector->inspect();
        } catch (...) {
            look.failure = std::current_exception();
        }
        if (look.failure || !look.target.isApplicationArriving) break;
    }
    m_pending = false;
    m_task = TaskHandle();
    decide(look);
}

}  // namespace quorvelle
