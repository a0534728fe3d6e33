#pragma once

#include <QProcess>
#include <QString>

namespace quorvelle::test {

// An X server of the test's own (Xvfb, with no window manager and no tray), for a test that needs a
// bare display or one it may take away. Ended when the object goes.
class PrivateXServer {
public:
    // Starts it and waits until it takes connections.
    PrivateXServer();
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // ":<number>"; empty when the server did not start or takes no connections (`failure` says why).
    QString display() const { return m_display; }
    QString failure() const { return m_failure; }
    // Ends the server: its clients lose their connection.
    void stop();

private:
    QProcess m_process;
    QString m_display;
    QString m_failure;
};

}  // namespace quorvelle::test
