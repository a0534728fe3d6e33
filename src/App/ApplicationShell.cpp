#include "App/ApplicationShell.h"

#include "App/AppExitLog.h"
#include "App/AppRuntime.h"
#include "App/TrayIconPainter.h"

#include <QApplication>

namespace quorvelle {

ApplicationShell::ApplicationShell(std::unique_ptr<AppRuntime> runtime, QObject* parent)
    : QObject(parent),
      m_runtime(std::move(runtime)),
      m_dashboard(m_runtime->viewModel(), m_runtime->viewEngine()),
      m_popover(m_runtime->viewModel(), m_bridge, m_runtime->viewEngine()),
      m_tray(makeTrayIcon()) {
    connect(&m_bridge, &AppShellBridge::openDashboardRequested, this, &ApplicationShell::openDashboard);
    // Each Quit is logged as the cause before the quit it asks for.
    connect(&m_bridge, &AppShellBridge::quitRequested, this,
            [this] { m_runtime->exitLog().recordQuitAction(QStringLiteral("the tray panel's Quit button")); });
    connect(&m_bridge, &AppShellBridge::quitRequested, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    m_tray.setToolTip(QStringLiteral("Quorvelle"));
    QAction* quit = m_menu.addAction(tr("Quit"));
    connect(quit, &QAction::triggered, this,
            [this] { m_runtime->exitLog().recordQuitAction(QStringLiteral("the tray icon menu's Quit")); });
    connect(quit, &QAction::triggered, qApp, &QCoreApplication::quit);
    m_tray.setContextMenu(&m_menu);
    connect(&m_tray, &QSystemTrayIcon::activated, this, &ApplicationShell::handleTrayActivation);
}

ApplicationShell::~ApplicationShell() = default;

void ApplicationShell::start() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray.show();
    } else {
        openDashboard();
    }
}

void ApplicationShell::openDashboard() {
    m_popover.hide();
    m_dashboard.open();
}

void ApplicationShell::handleTrayActivation(QSystemTrayIcon::ActivationReason reason) {
    // The icon's menu takes the popover's place.
    if (reason == QSystemTrayIcon::Context) m_popover.hide();
    // A quick second click reaches us as a double click: it toggles all the same.
    if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick) return;
    // Until this build has the popover's view, the icon leads to the dashboard.
    if (!m_popover.toggle(m_tray.geometry())) openDashboard();
}

}  // namespace quorvelle
