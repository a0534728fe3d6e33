#include "Platform/Linux/UnixSignalQuit.h"

#include <QCoreApplication>
#include <QtDebug>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace quorvelle {

namespace {

constexpr int kQuitSignals[] = {SIGTERM, SIGINT};

// The write end for the handler; only async-signal-safe calls touch it there.
volatile sig_atomic_t g_writeEnd = -1;

extern "C" void noteQuitSignal(int) {
    const int savedErrno = errno;
    const int writeEnd = g_writeEnd;
    const char byte = 1;
    if (writeEnd >= 0) {
        // A full pipe already holds a quit request: a failed write loses nothing.
        const ssize_t written = ::write(writeEnd, &byte, 1);
        static_cast<void>(written);
    }
    errno = savedErrno;
}

}  // namespace

UnixSignalQuit::UnixSignalQuit(QObject* parent) : QObject(parent) {
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("Cannot watch for SIGTERM and SIGINT: %s", std::strerror(errno));
        return;
    }
    g_writeEnd = m_pipe[1];
    struct sigaction action {};
    action.sa_handler = noteQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int signal : kQuitSignals) {
        if (::sigaction(signal, &action, nullptr) != 0)
            qWarning("Cannot handle signal %d: %s", signal, std::strerror(errno));
    }
    m_notifier = std::make_unique<QSocketNotifier>(m_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &UnixSignalQuit::drainAndQuit);
}

UnixSignalQuit::~UnixSignalQuit() {
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    for (const int signal : kQuitSignals)
        ::sigaction(signal, &fallback, nullptr);
    g_writeEnd = -1;
    m_notifier.reset();
    for (const int end : m_pipe)
        if (end >= 0) ::close(end);
}

void UnixSignalQuit::drainAndQuit() {
    char bytes[16];
    while (::read(m_pipe[0], bytes, sizeof bytes) > 0) {
    }
    QCoreApplication::quit();
}

}  // namespace quorvelle
