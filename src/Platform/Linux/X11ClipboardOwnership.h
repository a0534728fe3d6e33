#pragma once

#include <QtGlobal>

#include <functional>

namespace quorvelle {

// Whether this process really holds the X11 CLIPBOARD selection. QClipboard cannot tell: it sets the
// owner with the last server time it saw, the server ignores a claim older than the current owner's,
// and QClipboard still reports ownership. Main thread only.
namespace X11ClipboardOwnership {

// The selection belongs to a window of this process's X connection.
bool ownsClipboard();

// Runs `replace` only while `window` owns the selection, the X server held from the look at the owner
// until `replace` returned: no other client's copy can come between the two. `replace` may talk to
// the X server through our connection only (any other would wait for the hold). Whether it ran.
bool replaceWhileOwnedBy(quint32 window, const std::function<void()>& replace);

// The window was made through this process's X connection (not another client's, nor another
// connection of ours).
bool isMadeHere(quint32 window);

// Brings Qt's idea of the server time up to date (a property change on a hidden window of ours and
// the notification it causes), so that the next claim is not older than another client's.
// Returns whether the notification came back in time.
bool refreshServerTime();

}  // namespace X11ClipboardOwnership
}  // namespace quorvelle
