#pragma once

typedef struct _XDisplay Display;
struct xcb_connection_t;

namespace quorvelle {

// The X connection the platform layer talks through: Qt's own when the application runs on the xcb
// platform, otherwise one opened for this process on first use and kept. Null without an X server.
// Main thread only, but for `setLossHandler`'s handler.
namespace X11Connection {

Display* display();
xcb_connection_t* connection();

// Called on whichever thread Xlib finds one of the process's connections to the X server broken,
// in place of the handler set before (Qt's, or Xlib's own: both call exit() on that thread). It
// should end the process; if it returns, the process ends with status 1 without exit(). Null
// gives the earlier handler back. From the main thread.
using LossHandler = void (*)();
void setLossHandler(LossHandler handler);

}  // namespace X11Connection
}  // namespace quorvelle
