#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <memory>

namespace quorvelle {

// Turns SIGTERM (a session logout, `systemctl --user stop`) and SIGINT (Control+C) into the
// application's normal quit, so that everything torn down on the way out (the history writer
// above all) finishes its work. The handler only writes a byte into a pipe; the quit itself runs
// on the event loop. The handler is reset on its first call: a second signal ends the process at
// once, should the quit hang. One instance at a time, on the main thread.
class UnixSignalQuit final : public QObject {
public:
    explicit UnixSignalQuit(QObject* parent = nullptr);
    ~UnixSignalQuit() override;

    // False when the pipe or the handlers could not be set up (the signals then keep their
    // default action).
    bool isInstalled() const { return m_notifier != nullptr; }

private:
    void drainAndQuit();

    int m_pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace quorvelle
