#include "Services/System/RuntimeOverlayLayoutEngine.h"

#include <algorithm>

namespace quorvelle {

QSizeF RuntimeOverlayLayoutEngine::panelSize(WidgetAppearance appearance) {
    switch (appearance) {
        case WidgetAppearance::currentWidget: return {416, 228};
        case WidgetAppearance::logoOnly: return {128, 144};
    }
    return {416, 228};
}

std::optional<OverlayDisplayMetrics> RuntimeOverlayLayoutEngine::selectDisplay(
    const QPointF& pointer, const QList<OverlayDisplayMetrics>& screens,
    const std::optional<OverlayDisplayMetrics>& primary) {
    for (const OverlayDisplayMetrics& screen : screens) {
        // Half-open like the screens themselves: a pointer on the shared edge belongs to the right one.
        const QRectF& f = screen.frame;
        if (pointer.x() >= f.left() && pointer.x() < f.right() && pointer.y() >= f.top() && pointer.y() < f.bottom())
            return screen;
    }
    if (primary) return primary;
    if (!screens.isEmpty()) return screens.first();
    return std::nullopt;
}

QRectF RuntimeOverlayLayoutEngine::panelFrame(const QSizeF& size, const OverlayDisplayMetrics& display) const {
    const QRectF& frame = display.frame;
    const QRectF& visible = display.visibleFrame;
    const QMarginsF& insets = display.safeAreaInsets;

    const double left = frame.left() + insets.left();
    const double top = frame.top() + insets.top();
    const double width = std::max(0.0, frame.right() - insets.right() - left);
    const double height = std::max(0.0, frame.bottom() - insets.bottom() - top);
    QRectF usable(left, top, width, height);
    if (usable.isEmpty()) usable = visible;

    const double w = size.width();
    const double h = size.height();
    const double lower = visible.left() + horizontalMargin;
    const double upper = visible.right() - w - horizontalMargin;
    double x = lower;
    if (upper >= lower) x = std::clamp(usable.center().x() - 0.5 * w, lower, upper);

    // The higher of the two bottoms on screen is the smaller y; the margin is measured downwards.
    const double bottom = std::min(visible.bottom(), usable.bottom()) - bottomMargin;
    return {x, bottom - h, w, h};
}

}  // namespace quorvelle
