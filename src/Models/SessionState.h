// SessionState: the published state of the dictation session. Two states carry a value:
// blocked carries the reason, error carries the QuorvelleError.
#pragma once

#include "Models/QuorvelleError.h"
#include "Models/SessionBlockReason.h"

#include <optional>

namespace quorvelle {

class SessionState {
public:
    enum class Kind { blocked, error, idle, recording, uploading, injecting, fallbackCopied, success };

    // Idle by default: the state of a session that has not started.
    SessionState() = default;

    static SessionState blocked(SessionBlockReason reason);
    static SessionState error(const QuorvelleError& error);
    static SessionState idle() { return SessionState(Kind::idle); }
    static SessionState recording() { return SessionState(Kind::recording); }
    static SessionState uploading() { return SessionState(Kind::uploading); }
    static SessionState injecting() { return SessionState(Kind::injecting); }
    static SessionState fallbackCopied() { return SessionState(Kind::fallbackCopied); }
    static SessionState success() { return SessionState(Kind::success); }

    Kind kind() const { return m_kind; }
    std::optional<SessionBlockReason> blockReason() const { return m_blockReason; }
    const std::optional<QuorvelleError>& error() const { return m_error; }

    friend bool operator==(const SessionState& a, const SessionState& b) {
        return a.m_kind == b.m_kind && a.m_blockReason == b.m_blockReason && a.m_error == b.m_error;
    }

private:
    explicit SessionState(Kind kind) : m_kind(kind) {}

    Kind m_kind = Kind::idle;
    std::optional<SessionBlockReason> m_blockReason;
    std::optional<QuorvelleError> m_error;
};

}  // namespace quorvelle
