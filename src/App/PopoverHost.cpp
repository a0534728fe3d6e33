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
    const bool below = anchor.center().y() < screen.center().y();
    // The room between the anchor and the screen's far edge: the popover never covers what opened it.
    const int near =
        below ? std::max(anchor.bottom() + 1 + kGap, screen.top()) : std::min(anchor.top() - kGap, screen.bottom() + 1);
    const int room = below ? screen.bottom() + 1 - near : near - screen.top();
    QRect frame(QPoint(), QSize(size.width(), std::clamp(size.height(), 1, std::max(1, room))));
    frame.moveTop(below ? near : near - frame.height());
    frame.moveLeft(anchor.center().x() - size.width() / 2);
    frame.moveLeft(std::clamp(frame.left(), screen.left(), std::max(screen.left(), screen.right() + 1 - size.width())));
    return frame;
}

bool PopoverHost::toggle(const QRect& anchor) {
    if (!ensureWindow()) return false;
    if (m_window->isVisible() || std::exchange(m_closedFromAnchor, false)) {
        hide();
        return true;
    }
    m_anchor = anchor;
    m_target = anchor.isValid() ? anchor : QRect(QCursor::pos(), QSize(1, 1));
    const QScreen* screen = QGuiApplication::screenAt(m_target.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    m_area = screen ? screen->availableGeometry() : QRect();
    place();
    m_window->show();
    m_window->raise();
    m_window->requestActivate();
    return true;
}

void PopoverHost::hide() {
    m_closedFromAnchor = false;
    if (m_window) m_window->hide();
}

void PopoverHost::place() {
    // Never taller than the room beside the anchor: the view scrolls what does not fit and keeps its
    // buttons in view.
    const QSize wanted(kWidth, std::max(1, int(m_view->implicitHeight())));
    const QRect frame = m_area.isValid() ? placement(wanted, m_target, m_area) : QRect(m_target.topLeft(), wanted);
    m_view->setHeight(frame.height());
    m_window->setGeometry(frame);
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
    // A tab switch or a new message changes the height: placed again, the popover stays on the
    // screen and off its icon. A hidden one is placed when next shown.
    connect(m_view, &QQuickItem::implicitHeightChanged, this, [this] {
        if (m_window->isVisible()) place();
    });
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
