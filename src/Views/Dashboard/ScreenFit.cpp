#include "Views/Dashboard/ScreenFit.h"

#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace quorvelle {

ScreenFit::ScreenFit(QObject* parent) : QObject(parent) {}

QRect ScreenFit::fitted(QRect frameGeometry, QMargins frame, QSize designed, QRect available) {
    const QSize decoration(frame.left() + frame.right(), frame.top() + frame.bottom());
    const QSize room = available.size() - decoration;
    const QSize content = (frameGeometry.size() - decoration).expandedTo(designed).boundedTo(room);
    QRect result(frameGeometry.topLeft(), content + decoration);
    // Onto the free area: past its right or bottom edge first, then its left or top edge.
    result.moveLeft(std::max(available.left(), std::min(result.left(), available.right() + 1 - result.width())));
    result.moveTop(std::max(available.top(), std::min(result.top(), available.bottom() + 1 - result.height())));
    return result;
}

void ScreenFit::fit(QWindow* window, QSize designed) {
    if (!window || !window->screen()) return;
    const QMargins frame = window->frameMargins();
    const QRect available = window->screen()->availableGeometry();
    const QRect outer = fitted(window->frameGeometry(), frame, designed, available);
    const QSize content = outer.size() - QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    window->setMinimumSize(designed.boundedTo(content));
    if (content != window->size()) window->resize(content);
    if (outer.topLeft() != window->frameGeometry().topLeft()) window->setFramePosition(outer.topLeft());
}

}  // namespace quorvelle
