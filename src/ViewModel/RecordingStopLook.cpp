#include "ViewModel/RecordingStopLook.h"

#include <algorithm>

namespace quorvelle {

namespace {

// The window in front is the one the dictation's target is in.
bool isTargetWindow(const PasswordFieldLook& look, const FocusedTargetSnapshot& target) {
    if (!look.frontWindow) return false;
    const FocusedAppMetadata& front = *look.frontWindow;
    if (front.processIdentifier != target.app.processIdentifier) return false;
    return !front.windowIdentifier || !target.app.windowIdentifier ||
           *front.windowIdentifier == *target.app.windowIdentifier;
}

// The look tells what holds the focus in the window in front: a field that says so itself, or a
// window with nothing inside to read, which stands for its field.
bool namesFocus(const PasswordFieldLook& look) {
    if (look.failure || !look.focused) return false;
    if (look.focused->isWindowOnly) return !look.focused->isApplicationArriving;
    return look.claimsFocus;
}

}  // namespace

RecordingStopLook::RecordingStopLook(TaskScope& tasks, std::shared_ptr<FocusedTargetInspecting> inspector,
                                     std::shared_ptr<FocusChangeAwaiting> focusChanges, UptimeNanoseconds uptime)
    : m_tasks(tasks),
      m_inspector(std::move(inspector)),
      m_focusChanges(std::move(focusChanges)),
      m_uptime(std::move(uptime)) {}

void RecordingStopLook::start(std::optional<FocusedTargetSnapshot> target, CapturedAudioClip clip, Done done) {
    cancel();
    m_pending = true;
    TaskHandle handle =
        m_tasks.start([this, target = std::move(target), clip = std::move(clip),
                       done = std::move(done)](TaskGuard guard) { return run(target, clip, done, guard); });
    // An answer given at once leaves no handle behind.
    if (m_pending) m_task = handle;
}

void RecordingStopLook::cancel() {
    m_task.cancel();
    m_pending = false;
}

QCoro::Task<void> RecordingStopLook::run(std::optional<FocusedTargetSnapshot> target, CapturedAudioClip clip, Done done,
                                         TaskGuard guard) {
    const quint64 stoppedAt = m_uptime ? m_uptime() : 0;
    std::optional<FocusedTargetSnapshot> passwordField;
    for (int attempt = 1;; ++attempt) {
        const PasswordFieldLook look = m_inspector->lookForPasswordField(target ? &*target : nullptr);
        if (look.focused && look.focused->element.isSecure()) {
            passwordField = look.focused;
            break;
        }
        // In the dictation's own window a look that tells nothing finds what the press found.
        if (!target || isTargetWindow(look, *target) || namesFocus(look)) break;
        // Another window came to the front and does not tell its focus yet: it may be a password
        // window whose field the application has not announced.
        if (!m_focusChanges || !m_uptime || attempt >= kMaximumLooks) break;
        const double left = kWaitLimitSeconds - double(m_uptime() - stoppedAt) / 1e9;
        if (left <= 0) break;
        co_await m_focusChanges->nextFocusChange(std::min(kRetrySeconds, left), guard.stopToken);
        if (!guard) co_return;
    }
    m_pending = false;
    m_task = TaskHandle();
    done(std::move(passwordField), std::move(clip));
}

}  // namespace quorvelle
