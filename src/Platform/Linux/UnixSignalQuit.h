#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace quorvelle {

// A quit signal as the kernel delivered it: which one and, when a process sent it (kill, sigqueue),
// that process, its user and its command name, read while the signal was handled (a `kill` is gone
// by the time the event loop looks).
struct QuitSignal {
    int number = 0;
    std::optional<qint64> senderProcess;
    std::optional<quint32> senderUser;
    QString senderName;
};

// Turns SIGTERM (a session logout, `systemctl --user stop`), SIGINT (Control+C) and SIGHUP (the
// terminal it was started from went away) into the application's normal quit, so that everything
// torn down on the way out (the history writer above all) finishes its work. The handler only
// writes what it was told into a pipe; the quit itself runs on the event loop, after `heard` was
// told of each signal. The handler is reset on its first call: a second signal of the same kind
// ends the process at once, should the quit hang. One instance at a time, on the main thread.
class UnixSignalQuit final : public QObject {
public:
    using Heard = std::function<void(const QuitSignal&)>;

    explicit UnixSignalQuit(Heard heard = {}, QObject* parent = nullptr);
    ~UnixSignalQuit() override;

    // False when the pipe or the handlers could not be set up (the signals then keep their
    // default action).
    bool isInstalled() const { return m_notifier != nullptr; }

    // "SIGTERM" for 15; the number for a signal without a name.
    static QString signalName(int number);

private:
    void drainAndQuit();

    Heard m_heard;
    int m_pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace quorvelle
