#include "ViewModel/SessionCoordinator.h"

namespace quorvelle {

using Kind = SessionState::Kind;

bool SessionCoordinator::isActive(const SessionState& state) {
    return state.kind() == Kind::recording || state.kind() == Kind::uploading || state.kind() == Kind::injecting;
}

void SessionCoordinator::beginRecording() {
    if (isActive(state())) throw QuorvelleError(QuorvelleErrorCase::sessionAlreadyActive);
    assign(SessionState::recording());
}

void SessionCoordinator::block(SessionBlockReason reason) {
    if (!isActive(state())) assign(SessionState::blocked(reason));
}

void SessionCoordinator::refuseDelivery(SessionBlockReason reason) {
    if (is(Kind::uploading) || is(Kind::injecting)) assign(SessionState::blocked(reason));
}

void SessionCoordinator::refuseRecording(SessionBlockReason reason) {
    if (is(Kind::recording)) assign(SessionState::blocked(reason));
}

void SessionCoordinator::beginUploading() {
    if (is(Kind::recording)) assign(SessionState::uploading());
}

void SessionCoordinator::beginInjecting() {
    if (is(Kind::uploading)) assign(SessionState::injecting());
}

void SessionCoordinator::markFallbackCopied() {
    if (is(Kind::uploading) || is(Kind::injecting)) assign(SessionState::fallbackCopied());
}

void SessionCoordinator::markSuccess() {
    if (is(Kind::uploading) || is(Kind::injecting)) assign(SessionState::success());
}

void SessionCoordinator::cancelRecording() {
    if (is(Kind::recording)) assign(SessionState::idle());
}

void SessionCoordinator::fail(const QuorvelleError& error) {
    assign(SessionState::error(error));
}

void SessionCoordinator::reset() {
    assign(SessionState::idle());
}

void SessionCoordinator::dismissTerminalState() {
    assign(SessionState::idle());
}

}  // namespace quorvelle
