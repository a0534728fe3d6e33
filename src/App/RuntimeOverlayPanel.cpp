#include "App/RuntimeOverlayPanel.h"

#include "Platform/Linux/X11Compositor.h"

#include <QPainterPath>
#include <QQuickItem>
#include <QTimer>

#include <chrono>

namespace quorvelle {

namespace {

// The surfaces the overlay view draws its two forms on.
constexpr const char* kSurfaceNames[] = {"overlay-pill", "overlay-compact"};

// Through the visual tree: the view makes its forms in repeaters, whose items are not its QObject
// children.
QQuickItem* findSurface(QQuickItem* item) {
    for (const char* name : kSurfaceNames) {
        if (item->objectName() == QLatin1String(name)) return item;
    }
    for (QQuickItem* child : item->childItems()) {
        if (QQuickItem* found = findSurface(child)) return found;
    }
    return nullptr;
}

}  // namespace

QQuickItem* RuntimeOverlayPanel::surface() const {
    return findSurface(m_view);
}

RuntimeOverlayPanel::RuntimeOverlayPanel(QQuickItem* view) : m_view(view) {
    setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
             Qt::WindowTransparentForInput);
    setColor(Qt::transparent);
    setTitle(QStringLiteral("Quorvelle"));
    view->setParentItem(contentItem());
    view->setParent(this);
    // The pill's form (and so its shape) follows the appearance and the state.
    connect(this, &QQuickWindow::afterAnimating, this, &RuntimeOverlayPanel::updateMask);
}

void RuntimeOverlayPanel::setContentSize(const QSize& size) {
    resize(size);
    m_view->setSize(size);
}

void RuntimeOverlayPanel::orderFront() {
    m_preparing = false;
    // A compositor may have started or stopped since the last time.
    m_clipsToShape = !X11Compositor::isRunning();
    updateMask();
    show();
    raise();
}

void RuntimeOverlayPanel::orderOut() {
    hide();
}

void RuntimeOverlayPanel::prepare() {
    if (isVisible()) return;
    m_preparing = true;
    // Window managers keep a part of a window on the screen: the mask leaves one pixel of it, in the
    // corner.
    setPosition(1 - width(), 1 - height());
    updateMask();
    connect(this, &QQuickWindow::frameSwapped, this, &RuntimeOverlayPanel::finishPreparing, Qt::QueuedConnection);
    QTimer::singleShot(std::chrono::seconds(5), this, &RuntimeOverlayPanel::finishPreparing);
    show();
}

void RuntimeOverlayPanel::finishPreparing() {
    disconnect(this, &QQuickWindow::frameSwapped, this, &RuntimeOverlayPanel::finishPreparing);
    if (!m_preparing) return;
    m_preparing = false;
    hide();
    updateMask();
}

QRegion RuntimeOverlayPanel::surfaceRegion() const {
    const QQuickItem* surface = this->surface();
    if (!surface) return QRegion(QRect(QPoint(), size()));
    const QRectF rect = surface->mapRectToScene(QRectF(0, 0, surface->width(), surface->height()));
    const double radius = surface->property("cornerRadius").toDouble();
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return QRegion(path.toFillPolygon().toPolygon());
}

void RuntimeOverlayPanel::updateMask() {
    const QRegion shape = m_preparing      ? QRegion(width() - 1, height() - 1, 1, 1)
                          : m_clipsToShape ? surfaceRegion()
                                           : QRegion();
    if (shape != mask()) setMask(shape);
}

}  // namespace quorvelle
