#pragma once

#include <QIcon>

namespace quorvelle {

// Draws the tray icon (a small waveform) so the app needs no image files to show itself.
QIcon makeTrayIcon();

}  // namespace quorvelle
