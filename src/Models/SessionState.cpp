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

QString SessionState::kindName() const {
    return rawValue(m_kind);
}

QVariant SessionState::blockReasonName() const {
    return optionalValue(m_blockReason ? std::optional(rawValue(*m_blockReason)) : std::nullopt);
}

}  // namespace quorvelle
