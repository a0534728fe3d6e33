#include "App/DashboardWindowHost.h"

#include "App/QuickRootView.h"
#include "ViewModel/AppViewModel.h"
#include "Views/Dashboard/Components/DesktopThemeColors.h"

#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>

namespace quorvelle {

namespace {

// Closing hides: the one window is kept for the whole run.
class KeptQuickWindow final : public QQuickWindow {
protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::Close) {
            event->ignore();
            hide();
            return true;
        }
        return QQuickWindow::event(event);
    }
};

}  // namespace

DashboardWindowHost::DashboardWindowHost(AppViewModel& viewModel, QQmlEngine& engine, QObject* parent)
    : QObject(parent), m_viewModel(viewModel), m_engine(engine) {}

DashboardWindowHost::~DashboardWindowHost() = default;

void DashboardWindowHost::open() {
    if (!m_window) makeWindow();
    m_window->show();
    m_window->raise();
    m_window->requestActivate();
}

void DashboardWindowHost::makeWindow() {
    m_window = std::make_unique<KeptQuickWindow>();
    m_window->setTitle(QStringLiteral("Quorvelle"));
    m_window->resize(kWidth, kHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), m_window->size());
        frame.moveCenter(screen->availableGeometry().center());
        m_window->setPosition(frame.topLeft());
    }
    QQuickItem* view = makeRootView(m_engine, QStringLiteral("MainWindowView"),
                                    {{QStringLiteral("viewModel"), QVariant::fromValue<QObject*>(&m_viewModel)}});
    if (view) {
        view->setParent(m_window.get());
        view->setParentItem(m_window->contentItem());
        view->setSize(m_window->size());
        connect(m_window.get(), &QWindow::widthChanged, view, [view](int width) { view->setWidth(width); });
        connect(m_window.get(), &QWindow::heightChanged, view, [view](int height) { view->setHeight(height); });
        m_window->setMinimumSize(QSize(kWidth, kHeight));
    }
    // Until the view draws its own background, the window wears the chosen theme's canvas.
    applyTheme();
    connect(m_viewModel.preferences(), &PreferencesViewModel::selectedDesktopThemeChanged, this,
            &DashboardWindowHost::applyTheme);
}

void DashboardWindowHost::applyTheme() {
    m_window->setColor(DesktopThemeColors::forOption(m_viewModel.preferences()->selectedDesktopTheme()).canvas);
}

}  // namespace quorvelle
