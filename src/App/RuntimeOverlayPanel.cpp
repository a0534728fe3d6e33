#include "App/RuntimeOverlayPanel.h"

#include "Platform/Linux/X11Compositor.h"

#include <QPainterPath>
#include <QQuickItem>

namespace quorvelle {

namespace {

// The surfaces the overlay view draws its two forms on.
constexpr const char* kSurfaceNames[] = {"overlay-pill", "overlay-compact"};

QQuickItem* findSurface(QQuickItem* root) {
    for (const char* name : kSurfaceNames) {
        if (auto* item = root->findChild<QQuickItem*>(QString::fromLatin1(name))) return item;
    }
    return nullptr;
}

}  // namespace

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
    // A compositor may have started or stopped since the last time.
    m_clipsToShape = !X11Compositor::isRunning();
    updateMask();
    show();
    raise();
}

void RuntimeOverlayPanel::orderOut() {
    hide();
}

QRegion RuntimeOverlayPanel::surfaceRegion() const {
    QQuickItem* surface = findSurface(m_view);
    if (!surface) return QRegion(QRect(QPoint(), size()));
    const QRectF rect = surface->mapRectToScene(QRectF(0, 0, surface->width(), surface->height()));
    const double radius = surface->property("cornerRadius").toDouble();
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return QRegion(path.toFillPolygon().toPolygon());
}

void RuntimeOverlayPanel::updateMask() {
    const QRegion shape = m_clipsToShape ? surfaceRegion() : QRegion();
    if (shape != mask()) setMask(shape);
}

}  // namespace quorvelle
