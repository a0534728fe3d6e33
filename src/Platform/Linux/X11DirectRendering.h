#pragma once

namespace quorvelle::X11DirectRendering {

// The X server lets OpenGL clients draw on the graphics card (DRI2 or DRI3). Without it (Xvfb, Xvnc,
// most remote sessions) every OpenGL frame is drawn by the processor and sent through our X
// connection, where it holds back whatever else we send there. False without an X server.
bool isAvailable();

}  // namespace quorvelle::X11DirectRendering
