#pragma once

#include "Services/Audio/AudioCapturing.h"
#include "Services/Delivery/FocusChangeAwaiting.h"
#include "Services/Delivery/FocusedTargetInspecting.h"
#include "Support/TaskScope.h"

#include <functional>
#include <memory>
#include <optional>

namespace quorvelle {

// The look as a recording stops, before anything of it leaves: is a password field focused in the
// front window? Where the front window is another than the dictation's (a password window the
// application opened meanwhile) and the look cannot name what holds the focus there, the clip waits
// for a look that can, up to a bound. Main thread only.
class RecordingStopLook {
public:
    // `passwordField` is the password field found, none where no look found one.
    using Done = std::function<void(std::optional<FocusedTargetSnapshot> passwordField, CapturedAudioClip clip)>;
    using UptimeNanoseconds = std::function<quint64()>;
    // How long a window that came to the front during the recording is given to name its focus, and
    // how often it is looked at meanwhile (or at each focus move).
    static constexpr double kWaitLimitSeconds = 1.0;
    static constexpr double kRetrySeconds = 0.1;
    static constexpr int kMaximumLooks = 16;

    RecordingStopLook(TaskScope& tasks, std::shared_ptr<FocusedTargetInspecting> inspector,
                      std::shared_ptr<FocusChangeAwaiting> focusChanges, UptimeNanoseconds uptime);

    // Looks (again, where it must) and hands `done` the clip, at once where the first look tells.
    // `target` is the dictation's target.
    void start(std::optional<FocusedTargetSnapshot> target, CapturedAudioClip clip, Done done);
    bool isPending() const { return m_pending; }
    // Ends the wait without an answer and drops the clip.
    void cancel();

private:
    QCoro::Task<void> run(std::optional<FocusedTargetSnapshot> target, CapturedAudioClip clip, Done done,
                          TaskGuard guard);

    TaskScope& m_tasks;
    std::shared_ptr<FocusedTargetInspecting> m_inspector;
    std::shared_ptr<FocusChangeAwaiting> m_focusChanges;
    UptimeNanoseconds m_uptime;
    TaskHandle m_task;
    bool m_pending = false;
};

}  // namespace quorvelle
