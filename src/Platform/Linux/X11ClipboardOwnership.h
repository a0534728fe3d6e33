#pragma once

#include <QtGlobal>

#include <chrono>

namespace quorvelle {

// Whether this process really holds the X11 CLIPBOARD selection. QClipboard cannot tell: it sets the
// owner with the last server time it saw, the server ignores a claim older than the current owner's,
// and QClipboard still reports ownership. Main thread only.
namespace X11ClipboardOwnership {

// The selection belongs to a window of this process's X connection.
bool ownsClipboard();

// Brings Qt's idea of the server time up to date (a property change on a hidden window of ours and
// the notification it causes), so that the next claim is not older than another client's.
// Returns whether the notification came back in time.
bool refreshServerTime();

// Lets this process answer the clipboard's requests until the client that made `window` asked for
// the clipboard's targets, or the time is up; the answer is on its way to the server on return.
// An application that learns the targets only after each change of owner (GNOME Terminal) takes a
// paste chord sent before then for a paste of nothing. Returns whether the request came.
bool awaitTargetsRequest(quint32 window, std::chrono::milliseconds limit);

}  // namespace X11ClipboardOwnership
}  // namespace quorvelle
