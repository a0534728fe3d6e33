#pragma once

#include <QObject>

namespace quorvelle {

// What the views may ask of the application itself, beyond the view model.
class AppShellBridge : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Opens the dashboard window, or brings it forward.
    Q_INVOKABLE void openDashboard() { Q_EMIT openDashboardRequested(); }
    // Ends the application.
    Q_INVOKABLE void quit() { Q_EMIT quitRequested(); }

Q_SIGNALS:
    void openDashboardRequested();
    void quitRequested();
};

}  // namespace quorvelle
