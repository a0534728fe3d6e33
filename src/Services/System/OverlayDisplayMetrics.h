#pragma once

#include <QMarginsF>
#include <QRectF>

namespace quorvelle {

// One screen as the overlay sees it, in the desktop's coordinates (y grows downwards). The visible
// frame leaves out panels and docks; the insets are areas the screen cannot show (none on most X11
// screens).
struct OverlayDisplayMetrics {
    QRectF frame;
    QRectF visibleFrame;
    QMarginsF safeAreaInsets;

    friend bool operator==(const OverlayDisplayMetrics&, const OverlayDisplayMetrics&) = default;
};

}  // namespace quorvelle
