#include "Views/Dashboard/ScreenFit.h"

#include <QEvent>
#include <QScreen>

#include <algorithm>

namespace quorvelle {

ScreenFit::ScreenFit(QObject* parent) : QObject(parent) {}

void ScreenFit::setWindow(QWindow* window) {
    if (window == m_window) return;
    if (m_window) {
        m_window->removeEventFilter(this);
        disconnect(m_window, nullptr, this, nullptr);
    }
    m_window = window;
    if (window) {
        window->installEventFilter(this);
        connect(window, &QWindow::screenChanged, this, [this] { fit(m_window, m_designedSize); });
        m_fitPending = window->isVisible();
    }
    Q_EMIT windowChanged();
}

bool ScreenFit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window) {
        if (event->type() == QEvent::Show) m_fitPending = true;
        // The first exposure after showing comes once the window is mapped and framed.
        if (event->type() == QEvent::Expose && m_fitPending && m_window->isExposed()) {
            m_fitPending = false;
            fit(m_window, m_designedSize);
        }
    }
    return QObject::eventFilter(watched, event);
}

QRect ScreenFit::fitted(QRect frameGeometry, QMargins frame, QSize designed, QRect available) {
    const QSize decoration(frame.left() + frame.right(), frame.top() + frame.bottom());
    const QSize room = available.size() - decoration;
    const QSize content = (frameGeometry.size() - decoration).expandedTo(designed).boundedTo(room);
    QRect result(frameGeometry.topLeft(), content + decoration);
    // Onto the free area: in past its right or bottom edge first, then past its left or top edge.
    result.moveLeft(std::max(available.left(), std::min(result.left(), available.right() + 1 - result.width())));
    result.moveTop(std::max(available.top(), std::min(result.top(), available.bottom() + 1 - result.height())));
    return result;
}

void ScreenFit::fit(QWindow* window, QSize designed) {
    if (!window || !window->screen() || designed.isEmpty()) return;
    const QMargins frame = window->frameMargins();
    const QRect outer = fitted(window->frameGeometry(), frame, designed, window->screen()->availableGeometry());
    const QSize content = outer.size() - QSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    window->setMinimumSize(designed.boundedTo(content));
    if (content != window->size()) window->resize(content);
    if (outer.topLeft() != window->frameGeometry().topLeft()) window->setFramePosition(outer.topLeft());
}

}  // namespace quorvelle
