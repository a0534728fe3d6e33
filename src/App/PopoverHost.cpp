#include "App/PopoverHost.h"

#include "App/AppShellBridge.h"
#include "App/QuickRootView.h"
#include "ViewModel/AppViewModel.h"

#include <QCursor>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>

#include <algorithm>
#include <utility>

namespace quorvelle {

namespace {

// Room left between the anchor and the popover.
constexpr int kGap = 4;

}  // namespace

PopoverHost::PopoverHost(AppViewModel& viewModel, AppShellBridge& shell, QQmlEngine& engine, QObject* parent)
    : QObject(parent), m_viewModel(viewModel), m_shell(shell), m_engine(engine) {}

PopoverHost::~PopoverHost() = default;

QRect PopoverHost::placement(const QSize& size, const QRect& anchor, const QRect& screen) {
    QRect frame(QPoint(), size);
    const bool below = anchor.center().y() < screen.center().y();
    frame.moveTop(below ? anchor.bottom() + 1 + kGap : anchor.top() - kGap - size.height());
    frame.moveLeft(anchor.center().x() - size.width() / 2);
    frame.moveLeft(std::clamp(frame.left(), screen.left(), std::max(screen.left(), screen.right() + 1 - size.width())));
    frame.moveTop(std::clamp(frame.top(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height())));
    return frame;
}

bool PopoverHost::toggle(const QRect& anchor) {
    if (!ensureWindow()) return false;
    if (m_window->isVisible() || std::exchange(m_closedFromAnchor, false)) {
        hide();
        return true;
    }
    m_anchor = anchor;
    const QRect target = anchor.isValid() ? anchor : QRect(QCursor::pos(), QSize(1, 1));
    const QScreen* screen = QGuiApplication::screenAt(target.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    // Never taller than the screen: the view scrolls what does not fit and keeps its buttons in view.
    m_maximumHeight = screen ? screen->availableGeometry().height() : kUnbounded;
    const QSize size = fittedSize();
    m_view->setHeight(size.height());
    m_window->setGeometry(screen ? placement(size, target, screen->availableGeometry())
                                 : QRect(target.topLeft(), size));
    m_window->show();
    m_window->raise();
    m_window->requestActivate();
    return true;
}

void PopoverHost::hide() {
    m_closedFromAnchor = false;
    if (m_window) m_window->hide();
}

QSize PopoverHost::fittedSize() const {
    return {kWidth, std::clamp(int(m_view->implicitHeight()), 1, m_maximumHeight)};
}

bool PopoverHost::ensureWindow() {
    if (m_window) return true;
    if (m_viewMissing) return false;
    m_view = makeRootView(m_engine, QStringLiteral("ContentView"),
                          {{QStringLiteral("viewModel"), QVariant::fromValue<QObject*>(&m_viewModel)},
                           {QStringLiteral("appShell"), QVariant::fromValue<QObject*>(&m_shell)}});
    if (!m_view) {
        m_viewMissing = true;
        return false;
    }
    m_window = std::make_unique<QQuickWindow>();
    m_window->setFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    m_window->setTitle(QStringLiteral("Quorvelle"));
    m_view->setParent(m_window.get());
    m_view->setParentItem(m_window->contentItem());
    m_view->setWidth(kWidth);
    connect(m_view, &QQuickItem::implicitHeightChanged, this, [this] {
        const QSize size = fittedSize();
        m_view->setHeight(size.height());
        m_window->resize(size);
    });
    m_view->setHeight(fittedSize().height());
    // A popover closes when the user turns to another window; not for one of its own sheets.
    connect(m_window.get(), &QWindow::activeChanged, this, [this] {
        const QWindow* focus = QGuiApplication::focusWindow();
        const bool ownSheet = focus && focus->transientParent() == m_window.get();
        if (!m_window->isVisible() || m_window->isActive() || ownSheet) return;
        hide();
        m_closedFromAnchor = m_anchor.contains(QCursor::pos());
    });
    return true;
}

}  // namespace quorvelle
