#include "Models/SessionState.h"

namespace quorvelle {

SessionState SessionState::blocked(SessionBlockReason reason) {
    SessionState state(Kind::blocked);
    state.m_blockReason = reason;
    return state;
}

SessionState SessionState::error(const QuorvelleError& error) {
    SessionState state(Kind::error);
    state.m_error = error;
    return state;
}

}  // namespace quorvelle
