#include "Support/TaskHandle.h"

namespace quorvelle {

bool TaskHandle::isRunning() const {
    return m_state && !m_state->finished;
}

void TaskHandle::cancel() {
    if (m_state) m_state->stop.request_stop();
    m_state.reset();
}

}  // namespace quorvelle
