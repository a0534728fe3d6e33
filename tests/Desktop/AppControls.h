#pragma once

#include <QList>
#include <QString>

#include <memory>

typedef struct _AtspiAccessible AtspiAccessible;

namespace quorvelle::test {

// One control of the app's as a screen reader finds it on the accessibility bus.
struct AppControl {
    std::shared_ptr<AtspiAccessible> object;
    QString role;  // AT-SPI's role name: "push button", "page tab"
    QString name;
    bool selected = false;
    bool enabled = false;
};

// The controls showing in the app's window `width` wide, in tree order (the dashboard is 1270
// wide, the tray panel 360); empty while there is no such window.
QList<AppControl> appControls(qint64 processId, int width);

// Waits for the control of that role and name to show in that window, gives it the focus and presses
// Return in that window, as a keyboard user would. False when none came or it took no focus.
bool pressAppControl(qint64 processId, int width, const QString& role, const QString& name, int timeoutMs = 15000);

// Clicks the app's tray icon until its panel shows.
bool openTrayPanel(qint64 processId);

}  // namespace quorvelle::test
