#include "GnomeTerminalServer.h"

#include "TestEventLoop.h"

#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace quorvelle::test {

namespace {

// A name of the test's own, so that no other GNOME Terminal server on the bus takes the window.
const QString kTerminalAppId = u"com.dovent.QuorvelleTestTerminal"_qs;
const QString kServer = u"/usr/libexec/gnome-terminal-server"_qs;

}  // namespace

bool GnomeTerminalServer::isInstalled() {
    return !QStandardPaths::findExecutable(u"gnome-terminal"_qs).isEmpty() && QFile::exists(kServer);
}

GnomeTerminalServer::~GnomeTerminalServer() {
    m_server.terminate();
    if (!m_server.waitForFinished(10000)) m_server.kill(), m_server.waitForFinished(5000);
}

std::unique_ptr<RealApp> GnomeTerminalServer::open(const QString& title, const QString& script) {
    if (m_server.state() == QProcess::NotRunning && !startServer()) return nullptr;
    return RealApp::launch(u"gnome-terminal"_qs,
                           {u"--app-id"_qs, kTerminalAppId, u"--wait"_qs, u"--"_qs, u"sh"_qs, u"-c"_qs,
                            u"printf '\\033]0;%s\\007' \"$0\"; "_qs + script, title},
                           u'^' + title + u'$');
}

bool GnomeTerminalServer::startServer() {
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.start(kServer, {u"--app-id"_qs, kTerminalAppId});
    const auto serving = [] {
        QProcess ask;
        ask.start(u"dbus-send"_qs,
                  {u"--session"_qs, u"--print-reply"_qs, u"--dest=org.freedesktop.DBus"_qs, u"/org/freedesktop/DBus"_qs,
                   u"org.freedesktop.DBus.NameHasOwner"_qs, u"string:"_qs + kTerminalAppId});
        return ask.waitForFinished(10000) && ask.readAllStandardOutput().contains("boolean true");
    };
    if (m_server.waitForStarted() && waitUntil(serving, 60000)) return true;
    ADD_FAILURE() << "gnome-terminal-server never took its name on the bus";
    return false;
}

}  // namespace quorvelle::test
