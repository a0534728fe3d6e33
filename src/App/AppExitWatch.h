#pragma once

#include <QObject>

#include <functional>

namespace quorvelle {

class AppExitLog;

// Keeps in the exit log the ends that come without a cause told first: a quit request that reaches
// the application from anywhere (with the calls that led to it), an event loop that ends without
// one, a fatal Qt message and an exception nobody caught. `flush` returns once what was logged is
// stored, before a fatal end goes on. One instance at a time, on the main thread, while the event
// loop runs.
class AppExitWatch final : public QObject {
public:
    AppExitWatch(AppExitLog& log, std::function<void()> flush, QObject* parent = nullptr);
    ~AppExitWatch() override;

    // The event loop returned `code`: an end none of the above saw is logged here.
    void eventLoopEnded(int code);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message);
    static void handleTermination();

    AppExitLog& m_log;
    std::function<void()> m_flush;
};

}  // namespace quorvelle
