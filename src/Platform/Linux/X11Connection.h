#pragma once

typedef struct _XDisplay Display;
struct xcb_connection_t;

namespace quorvelle {

// The X connection the platform layer talks through: Qt's own when the application runs on the xcb
// platform, otherwise one opened for this process on first use and kept. Null without an X server.
// Main thread only.
namespace X11Connection {

Display* display();
xcb_connection_t* connection();

}  // namespace X11Connection
}  // namespace quorvelle
