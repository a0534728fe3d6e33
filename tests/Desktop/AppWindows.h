#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

typedef struct _AtspiAccessible AtspiAccessible;
typedef struct _AtspiEvent AtspiEvent;
typedef struct _AtspiEventListener AtspiEventListener;

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

// What a screen reader hears of a process that never takes the focus: each time one of its objects of
// the notification role starts showing, "name: description". Events arrive while the event loop runs.
// A reader still speaking reads the words of the next showing a while after it came: with a reading
// delay, each showing's words are read that long after its event (in the order the events came).
class AnnouncementListener {
public:
    explicit AnnouncementListener(qint64 processId, std::chrono::milliseconds readingDelay = {});
    ~AnnouncementListener();
    AnnouncementListener(const AnnouncementListener&) = delete;
    AnnouncementListener& operator=(const AnnouncementListener&) = delete;

    QStringList heard() const { return m_heard; }

private:
    static void onShowing(AtspiEvent* event, void* self);
    void read(AtspiAccessible* source);

    qint64 m_processId;
    std::chrono::milliseconds m_readingDelay;
    AtspiEventListener* m_listener = nullptr;
    QStringList m_heard;
    // The showings whose words are still to be read, each held until then.
    QList<AtspiAccessible*> m_unread;
    QObject m_reading;
};

}  // namespace quorvelle::test
