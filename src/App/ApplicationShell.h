#pragma once

#include "App/AppShellBridge.h"
#include "App/DashboardWindowHost.h"
#include "App/PopoverHost.h"

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

#include <memory>

namespace quorvelle {

class AppRuntime;

// The application around the runtime: the tray icon with its popover, and the dashboard window.
// Main thread only.
class ApplicationShell : public QObject {
    Q_OBJECT

public:
    explicit ApplicationShell(std::unique_ptr<AppRuntime> runtime, QObject* parent = nullptr);
    ~ApplicationShell() override;

    // Puts the icon in the tray; without a tray on this desktop, opens the dashboard instead so the
    // app stays reachable.
    void start();
    // Opens the dashboard or brings it forward; a second launch's reopen request lands here.
    void openDashboard();

    AppRuntime& runtime() const { return *m_runtime; }

private:
    void handleTrayActivation(QSystemTrayIcon::ActivationReason reason);

    std::unique_ptr<AppRuntime> m_runtime;
    AppShellBridge m_bridge;
    DashboardWindowHost m_dashboard;
    PopoverHost m_popover;
    QMenu m_menu;
    QSystemTrayIcon m_tray;
};

}  // namespace quorvelle
