#pragma once

#include <QObject>

#include <functional>

namespace quorvelle {

class AppExitLog;

// Keeps in the exit log the ends that come without a cause told first: a quit request that reaches
// the application from anywhere (with the calls that led to it), an event loop that ends without
// one, a fatal Qt message, an exception nobody caught, the loss of the X display and a call to
// exit() from anywhere. `flush` returns once what was logged is stored, before a fatal end goes on.
// `displayLost` tells whether the connection to the X display has broken; it is asked from any
// thread, and as the process exits. Once the display is gone, `prepareForEnd` runs on the main
// thread (at Qt's warning, or at the exit itself), and the process then ends as a quit does, around
// threads still at work and without the destructors that would run beside them, with status 1 as
// Qt and Xlib end it. One instance at a time, on the main thread, while the event loop runs.
class AppExitWatch final : public QObject {
public:
    AppExitWatch(AppExitLog& log, std::function<void()> flush, std::function<bool()> displayLost = {},
                 std::function<void()> prepareForEnd = {}, QObject* parent = nullptr);
    ~AppExitWatch() override;

    // The event loop returned `code`: an end none of the above saw is logged here.
    void eventLoopEnded(int code);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message);
    static void handleTermination();
    static void handleExit();
    // Logs the display's loss once it has happened; false while the display is there.
    bool logDisplayLoss();
    // Runs `prepareForEnd` once, on the main thread, once the display is gone; whether it ran.
    bool prepareIfDisplayLost();

    AppExitLog& m_log;
    std::function<void()> m_flush;
    std::function<bool()> m_displayLost;
    std::function<void()> m_prepareForEnd;
    bool m_preparedForEnd = false;
};

}  // namespace quorvelle
