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
// thread, and as the process exits. One instance at a time, on the main thread, while the event
// loop runs.
class AppExitWatch final : public QObject {
public:
    AppExitWatch(AppExitLog& log, std::function<void()> flush, std::function<bool()> displayLost = {},
                 QObject* parent = nullptr);
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

    AppExitLog& m_log;
    std::function<void()> m_flush;
    std::function<bool()> m_displayLost;
};

}  // namespace quorvelle
