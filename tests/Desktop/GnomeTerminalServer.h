#pragma once

#include "RealAppDictation.h"

#include <QProcess>
#include <QString>

#include <memory>

namespace quorvelle::test {

// GNOME Terminal's window belongs to gnome-terminal-server, which the test desktop's private bus
// cannot start on its own (the bus was started without the display): the test starts it, and ends it
// with this object.
class GnomeTerminalServer {
public:
    static bool isInstalled();
    ~GnomeTerminalServer();
    // A terminal window titled `title` running `script` under sh; null when it never showed.
    std::unique_ptr<RealApp> open(const QString& title, const QString& script);

private:
    bool startServer();

    QProcess m_server;
};

}  // namespace quorvelle::test
