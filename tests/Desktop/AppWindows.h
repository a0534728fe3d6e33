#pragma once

#include <QList>
#include <QRect>
#include <QString>

#include <optional>

namespace quorvelle::test {

// A window of the test desktop as another X client sees it.
struct DesktopWindow {
    quint32 id = 0;
    QString title;
    // Relative to its parent, and on the screen.
    QRect geometry;
    QRect screenGeometry;
    bool viewable = false;
    // Inside the tray's panel: a tray icon.
    bool inTray = false;
};

// Every window whose WM_CLASS class is `className`, top-level or inside a window manager frame
// or the tray; on the test desktop, or on the X display named.
QList<DesktopWindow> windowsOfClass(const QString& className, const QString& display = {});

// The viewable window of that class with that size, if any.
std::optional<DesktopWindow> viewableWindow(const QString& className, const QSize& size);

// The process that owns the window manager's active window.
std::optional<qint64> activeWindowProcess();

// Activates the process's window and waits until the accessibility bus, too, reports the focus in
// it (its focus events lag the window manager's) or, for a window without an accessibility tree,
// the window itself is in front.
bool bringToFront(qint64 processId, int timeoutMs = 30000);

}  // namespace quorvelle::test
