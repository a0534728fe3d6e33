#include "Support/SingleInstanceLock.h"
#include "TrayIconPainter.h"
#include "Views/Common/ViewSetup.h"

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QtDebug>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvelle"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorvelle"));
    QApplication::setDesktopFileName(QStringLiteral("com.dovent.Quorvelle"));
    QApplication::setOrganizationDomain(QStringLiteral("dovent.com"));
    // Before any store opens: a second copy would overwrite the first one's settings and history.
    quorvelle::SingleInstanceLock instanceLock;
    switch (instanceLock.acquire()) {
        case quorvelle::SingleInstanceLock::Outcome::acquired: break;
        case quorvelle::SingleInstanceLock::Outcome::heldElsewhere:
            qWarning("Quorvelle is already running for this user");
            return 1;
        case quorvelle::SingleInstanceLock::Outcome::unavailable:
            qWarning("Cannot take the single-instance lock; another copy may be running");
            break;
    }
    // A tray app has no main window; closing a transient window must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    // Style, fonts and QML types must be in place before the first view is built.
    quorvelle::ViewSetup::prepare();

    QSystemTrayIcon tray(quorvelle::makeTrayIcon());
    tray.setToolTip(QStringLiteral("Quorvelle"));
    QMenu menu;
    QObject::connect(menu.addAction(QObject::tr("Quit")), &QAction::triggered, &app, &QApplication::quit);
    tray.setContextMenu(&menu);
    tray.show();

    return QApplication::exec();
}
