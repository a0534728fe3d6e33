#pragma once

#include <memory>
#include <stop_token>

namespace quorvelle {

// The handle of one running job, kept in a field while the job may need stopping. Empty until a
// job is started; cancel() stops the job and empties the handle, so "cancel and clear" is one call.
class TaskHandle {
public:
    TaskHandle() = default;

    bool isEmpty() const { return !m_state; }
    // True from the start until the job's body returns or throws.
    bool isRunning() const;
    // Asks the job to stop (it ends at its next check) and forgets it.
    void cancel();

private:
    friend class TaskScope;
    struct State {
        std::stop_source stop;
        bool finished = false;
    };
    explicit TaskHandle(std::shared_ptr<State> state) : m_state(std::move(state)) {}

    std::shared_ptr<State> m_state;
};

}  // namespace quorvelle
