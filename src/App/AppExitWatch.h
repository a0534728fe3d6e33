#pragma once

#include <QObject>

#include <chrono>
#include <functional>

namespace quorvelle {

class AppExitLog;

// Keeps in the exit log the ends that come without a cause told first: a quit request that reaches
// the application from anywhere (with the calls that led to it), an event loop that ends without
// one, a fatal Qt message, an exception nobody caught, the loss of the X display and a call to
// exit() from anywhere. `flush` returns once what was logged is stored, before a fatal end goes on.
// `displayLost` tells whether Qt's connection to the X display has broken; it is asked from any
// thread, and as the process exits. Xlib's finding a connection broken, on whichever thread, counts
// as well. Once the display is gone, `prepareForEnd` runs on the main thread (at Qt's warning, at
// Xlib's finding, at the exit, or asked by the thread that found the loss), and the process then
// ends as a quit does, around threads still at work and without the destructors exit() would run
// beside them, with status 1 as Qt and Xlib end it. One instance at a time, on the main thread,
// while the event loop runs.
class AppExitWatch final : public QObject {
public:
    AppExitWatch(AppExitLog& log, std::function<void()> flush, std::function<bool()> displayLost = {},
                 std::function<void()> prepareForEnd = {}, QObject* parent = nullptr);
    ~AppExitWatch() override;

    // The event loop returned `code`: an end none of the above saw is logged here.
    void eventLoopEnded(int code);

    // How long a thread that found the display gone waits for the main thread to end the process
    // before it prepares for the end itself: the main thread may be waiting on that very thread
    // (Qt Quick's render thread) or on the Xlib connection it holds.
    static constexpr std::chrono::seconds mainThreadWait{5};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message);
    static void handleTermination();
    static void handleExit();
    static void handleConnectionLoss();
    bool displayGone() const;
    // Logs the display's loss once it has happened; false while the display is there.
    bool logDisplayLoss();
    // The display is gone: ends the process through `prepareForEnd` and _exit(), from any thread;
    // returns only without `prepareForEnd`.
    void endForLostDisplay();
    // Prepares and ends; a thread that comes while another does waits for the end.
    [[noreturn]] void endPrepared();

    AppExitLog& m_log;
    std::function<void()> m_flush;
    std::function<bool()> m_displayLost;
    std::function<void()> m_prepareForEnd;
};

}  // namespace quorvelle
