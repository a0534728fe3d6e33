// A backend that answers the transcription upload with a header line that never ends (its bytes
// keep coming) must not hold the app for good nor fill its memory. The real app runs against such a
// server on 127.0.0.1, dictates once and is watched: its memory every ten seconds and when the
// failure was recorded. Run inside scripts/desktop-test-env. Arguments: how many seconds to watch
// (150), and the executable to run (this build's), to measure another version of the app with the
// same rig.
#include "AppUnderTest.h"
#include "AppWindows.h"
#include "FixtureApp.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"
#include "TestMicrophone.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using namespace quorvelle;
using namespace quorvelle::test;

const QStringList kHotkey{"Control_L", "Alt_L", "space"};

// Answers the upload with a header line that never ends, as fast as the app takes it, and any
// other request with 404; each connection on a thread of its own.
class EndlessHeaderServer {
public:
    EndlessHeaderServer() : m_listener(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(m_listener, 8) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("no port");
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] {
            for (int connection; (connection = ::accept(m_listener, nullptr, nullptr)) >= 0;)
                m_connections.emplace_back([this, connection] {
                    answer(connection);
                    ::close(connection);
                });
        });
    }
    ~EndlessHeaderServer() {
        m_closing = true;
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        for (std::thread& connection : m_connections)
            connection.join();
        ::close(m_listener);
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_port)); }

private:
    void answer(int connection) {
        QByteArray request;
        char buffer[65536];
        while (!request.contains("\r\n\r\n")) {
            const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
            if (got <= 0) return;
            request.append(buffer, got);
        }
        if (!request.startsWith("POST /v1/transcriptions ")) {
            const QByteArray notFound = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
            ::send(connection, notFound.constData(), notFound.size(), MSG_NOSIGNAL);
            return;
        }
        const QByteArray head = "HTTP/1.1 200 OK\r\nX-Endless: ";
        const QByteArray more(64 * 1024, 'a');
        if (::send(connection, head.constData(), head.size(), MSG_NOSIGNAL) < 0) return;
        while (!m_closing && ::send(connection, more.constData(), more.size(), MSG_NOSIGNAL) > 0) {
        }
    }

    int m_listener;
    quint16 m_port = 0;
    std::atomic<bool> m_closing = false;
    std::thread m_thread;
    std::vector<std::thread> m_connections;
};

// Resident memory of the process in MiB, or -1 once it is gone.
double residentMiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

bool failureRecorded(const AppUnderTest& app) {
    const QList<SanitizedDiagnosticsEvent> events = app.diagnosticsEvents();
    return std::any_of(events.cbegin(), events.cend(), [](const SanitizedDiagnosticsEvent& event) {
        return event.code.startsWith(QLatin1String("runtime.error."));
    });
}

void dictate(FixtureApp& fixture, TestMicrophone& microphone) {
    bringToFront(fixture.processId());
    speakWithHotkeyDown(microphone, kHotkey);
    sendKeys(kHotkey, false);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (!insideDesktopTestEnvironment()) return 1;
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 150;
    EndlessHeaderServer server;
    seedSignedInSession();
    AppUnderTest app(server.url());
    if (argc > 2) app.setProgram(QString::fromLocal8Bit(argv[2]));
    app.start();
    if (!app.waitUntilHotkeyRegistered()) {
        std::printf("the app did not get ready: %s\n", qPrintable(app.standardError()));
        return 1;
    }
    FixtureApp fixture(FixtureApp::Toolkit::Qt, QStringLiteral("Endless head target"));
    fixture.focus(QStringLiteral("single"));
    TestMicrophone microphone;
    const double before = residentMiB(app.processId());
    dictate(fixture, microphone);
    QElapsedTimer clock;
    clock.start();
    double peak = before;
    double failedAfter = -1;
    int nextReport = 0;
    while (clock.elapsed() < seconds * 1000 && app.isRunning()) {
        waitUntil([] { return false; }, 500);
        peak = std::max(peak, residentMiB(app.processId()));
        if (failedAfter < 0 && failureRecorded(app)) failedAfter = clock.elapsed() / 1000.0;
        if (clock.elapsed() >= nextReport * 1000) {
            std::printf("%4d s: %.0f MiB%s\n", nextReport, residentMiB(app.processId()),
                        failedAfter >= 0 ? ", failure recorded" : "");
            std::fflush(stdout);
            nextReport += 10;
        }
    }
    std::printf("before the dictation %.0f MiB, peak %.0f MiB, at the end %.0f MiB; failure recorded %s\n", before,
                peak, residentMiB(app.processId()),
                failedAfter >= 0 ? qPrintable(QStringLiteral("after %1 s").arg(failedAfter, 0, 'f', 1)) : "never");
    std::printf("events:\n%s\n", app.eventLog().c_str());
    clearStoredSession();
    return 0;
}
