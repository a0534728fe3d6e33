#pragma once

#include "Models/SessionBlockReason.h"
#include "Models/SessionState.h"
#include "Support/CurrentValueSubject.h"

namespace quorvelle {

// The holder of the dictation session's one state. It decides only which state may follow which;
// every other decision is the view model's. Main thread only.
class SessionCoordinating {
public:
    virtual ~SessionCoordinating() = default;

    virtual SessionState state() const = 0;
    // The current state at once on subscription, then every assigned state.
    virtual CurrentValueSubject<SessionState>& statePublisher() = 0;
    // From an inactive state; from recording, uploading or injecting throws
    // QuorvelleError(sessionAlreadyActive) and changes nothing.
    virtual void beginRecording() = 0;
    virtual void block(SessionBlockReason reason) = 0;
    // From uploading or injecting: the words found no place they may go (a password field holds the
    // focus at delivery) and the session ends as a refused press would. Ignored in any other state.
    virtual void refuseDelivery(SessionBlockReason reason) = 0;
    // From recording: the press's target, decided only after the recording started, takes no
    // dictation, and the session ends as a refused press would. Ignored in any other state.
    virtual void refuseRecording(SessionBlockReason reason) = 0;
    virtual void beginUploading() = 0;
    virtual void beginInjecting() = 0;
    virtual void markFallbackCopied() = 0;
    virtual void markSuccess() = 0;
    virtual void cancelRecording() = 0;
    virtual void fail(const QuorvelleError& error) = 0;
    virtual void reset() = 0;
    virtual void dismissTerminalState() = 0;
};

}  // namespace quorvelle
