#pragma once

#include "Models/WidgetAppearance.h"
#include "Services/System/OverlayDisplayMetrics.h"

#include <QList>
#include <QPointF>
#include <QSizeF>

#include <optional>

namespace quorvelle {

// Where the floating status panel goes: bottom centre of the screen under the pointer. The panel is
// larger than the pill it shows, so the negative margins let its transparent border pass the edges.
struct RuntimeOverlayLayoutEngine {
    double horizontalMargin = -12;
    double bottomMargin = -20;

    static QSizeF panelSize(WidgetAppearance appearance);

    // The screen containing the pointer (the first one on a tie), else the primary, else the first.
    static std::optional<OverlayDisplayMetrics> selectDisplay(const QPointF& pointer,
                                                              const QList<OverlayDisplayMetrics>& screens,
                                                              const std::optional<OverlayDisplayMetrics>& primary);

    // Centred on the usable area, its bottom below the higher of the visible and usable bottoms, never
    // further past the visible frame's sides than the margin; the size is kept as given.
    QRectF panelFrame(const QSizeF& size, const OverlayDisplayMetrics& display) const;
};

}  // namespace quorvelle
