#pragma once

#include "ViewModel/SessionCoordinating.h"

namespace quorvelle {

// The state machine of a dictation. An allowed transition always assigns and publishes, also when
// the state does not change; a transition that is not allowed does nothing at all.
class SessionCoordinator final : public SessionCoordinating {
public:
    SessionCoordinator() = default;

    SessionState state() const override { return m_state.value(); }
    CurrentValueSubject<SessionState>& statePublisher() override { return m_state; }
    void beginRecording() override;
    void block(SessionBlockReason reason) override;
    void refuseDelivery(SessionBlockReason reason) override;
    void refuseRecording(SessionBlockReason reason) override;
    void beginUploading() override;
    void beginInjecting() override;
    void markFallbackCopied() override;
    void markSuccess() override;
    void cancelRecording() override;
    void fail(const QuorvelleError& error) override;
    void reset() override;
    void dismissTerminalState() override;

    // Recording, uploading and injecting; every other state lets a new recording begin.
    static bool isActive(const SessionState& state);

private:
    bool is(SessionState::Kind kind) const { return m_state.value().kind() == kind; }
    void assign(const SessionState& state) { m_state.send(state); }

    CurrentValueSubject<SessionState> m_state{SessionState::idle()};
};

}  // namespace quorvelle
