// SessionState: the published state of the dictation session. Two states carry a value:
// blocked carries the reason, error carries the QuorvelleError.
#pragma once

#include "Models/QuorvelleError.h"
#include "Models/SessionBlockReason.h"
#include "Support/QmlValues.h"

#include <QObject>

#include <optional>

namespace quorvelle {

// The views read the case by name ("recording") and the block reason by name, null unless blocked.
class SessionState {
    Q_GADGET
    Q_PROPERTY(QString kind READ kindName)
    Q_PROPERTY(QVariant blockReason READ blockReasonName)

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
    QString kindName() const;
    QVariant blockReasonName() const;

    friend bool operator==(const SessionState& a, const SessionState& b) {
        return a.m_kind == b.m_kind && a.m_blockReason == b.m_blockReason && a.m_error == b.m_error;
    }

private:
    explicit SessionState(Kind kind) : m_kind(kind) {}

    Kind m_kind = Kind::idle;
    std::optional<SessionBlockReason> m_blockReason;
    std::optional<QuorvelleError> m_error;
};

template <>
struct RawValueTable<SessionState::Kind> {
    static constexpr std::array entries{
        std::pair{SessionState::Kind::blocked, "blocked"},
        std::pair{SessionState::Kind::error, "error"},
        std::pair{SessionState::Kind::idle, "idle"},
        std::pair{SessionState::Kind::recording, "recording"},
        std::pair{SessionState::Kind::uploading, "uploading"},
        std::pair{SessionState::Kind::injecting, "injecting"},
        std::pair{SessionState::Kind::fallbackCopied, "fallbackCopied"},
        std::pair{SessionState::Kind::success, "success"},
    };
};

}  // namespace quorvelle
