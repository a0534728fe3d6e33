#pragma once

#include <QCoroTask>
#include <QtGlobal>

#include <chrono>
#include <optional>
#include <stop_token>

namespace quorvelle {

// Tells when the keyboard focus moves on the desktop, so that a delivery waiting for the focus to
// come back to a field wakes when it does rather than on a clock.
class FocusChangeAwaiting {
public:
    virtual ~FocusChangeAwaiting() = default;
    // Resumes once an element has gained the focus, or after `timeoutSeconds` without one; a stop
    // ends it at once with CancellationError.
    virtual QCoro::Task<void> nextFocusChange(double timeoutSeconds, std::stop_token stopToken) = 0;
    // An application took the focus away from its element and has given it to none since, and its
    // window is still in front: GTK and Firefox do so while another client grabs the keyboard (the
    // hot key's own grab) and hand it back a moment after the grab ends. Text sent meanwhile can be
    // lost. Once another window is in front, the focus is not coming back there.
    virtual bool isFocusAway() const = 0;
    // How long ago the application whose window the process owns (or a helper process of it) last
    // reported an element gaining the focus, read after every key press that came before the report;
    // none when it reported nothing since we listened.
    virtual std::optional<std::chrono::milliseconds> sinceFocusReport(qint32 processIdentifier) = 0;
    // Resumes true once that application reports a focus gain, or false after `timeoutSeconds`
    // without one; a stop ends it at once with CancellationError.
    virtual QCoro::Task<bool> nextFocusReport(qint32 processIdentifier, double timeoutSeconds,
                                              std::stop_token stopToken) = 0;
};

}  // namespace quorvelle
