#include "TrayIconPainter.h"
#include "Views/Common/ViewSetup.h"

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvelle"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorvelle"));
    QApplication::setDesktopFileName(QStringLiteral("com.dovent.Quorvelle"));
    QApplication::setOrganizationDomain(QStringLiteral("dovent.com"));
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
