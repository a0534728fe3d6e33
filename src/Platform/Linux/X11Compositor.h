#pragma once

namespace quorvelle::X11Compositor {

// A compositing manager owns the screen's _NET_WM_CM_S<n> selection: only then are a window's
// transparent pixels drawn as transparent. False without an X server.
bool isRunning();

}  // namespace quorvelle::X11Compositor
