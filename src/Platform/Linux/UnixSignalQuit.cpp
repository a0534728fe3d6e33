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

constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

// What the handler passes on, written whole: a pipe takes writes this small in one piece, so the
// reader never sees half of one.
struct SignalRecord {
    qint32 number;
    qint32 hasSender;
    qint32 senderProcess;
    quint32 senderUser;
    char senderName[16];
};
static_assert(sizeof(SignalRecord) <= PIPE_BUF);

// The write end for the handler; only async-signal-safe calls touch it there.
volatile sig_atomic_t g_writeEnd = -1;

// /proc/<pid>/comm into `name` (NUL-terminated, newline dropped), with async-signal-safe calls only.
void readCommandName(pid_t process, char (&name)[16]) {
    char path[32] = "/proc/";
    char digits[12];
    int count = 0;
    for (unsigned value = unsigned(process); count == 0 || value > 0; value /= 10)
        digits[count++] = char('0' + value % 10);
    int at = 6;
    while (count > 0)
        path[at++] = digits[--count];
    for (const char c : {'/', 'c', 'o', 'm', 'm', '\0'})
        path[at++] = c;
    const int file = ::open(path, O_RDONLY | O_CLOEXEC);
    if (file < 0) return;
    const ssize_t length = ::read(file, name, sizeof name - 1);
    ::close(file);
    if (length <= 0) return;
    name[length] = '\0';
    if (name[length - 1] == '\n') name[length - 1] = '\0';
}

extern "C" void noteQuitSignal(int signal, siginfo_t* info, void*) {
    const int savedErrno = errno;
    const int writeEnd = g_writeEnd;
    if (writeEnd >= 0) {
        SignalRecord record{};
        record.number = signal;
        // Only these codes say that a process sent it; from the kernel (a terminal's Control+C)
        // the sender fields mean nothing.
        if (info && (info->si_code == SI_USER || info->si_code == SI_QUEUE || info->si_code == SI_TKILL)) {
            record.hasSender = 1;
            record.senderProcess = info->si_pid;
            record.senderUser = info->si_uid;
            readCommandName(info->si_pid, record.senderName);
        }
        // A full pipe already holds a quit request: a failed write loses only who sent this one.
        const ssize_t written = ::write(writeEnd, &record, sizeof record);
        static_cast<void>(written);
    }
    errno = savedErrno;
}

}  // namespace

UnixSignalQuit::UnixSignalQuit(Heard heard, QObject* parent) : QObject(parent), m_heard(std::move(heard)) {
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("Cannot watch for quit signals: %s", std::strerror(errno));
        return;
    }
    g_writeEnd = m_pipe[1];
    struct sigaction action {};
    action.sa_sigaction = noteQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_SIGINFO | SA_RESTART | SA_RESETHAND;
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

QString UnixSignalQuit::signalName(int number) {
    const char* abbreviation = ::sigabbrev_np(number);
    return abbreviation ? QStringLiteral("SIG") + QString::fromLatin1(abbreviation) : QString::number(number);
}

void UnixSignalQuit::drainAndQuit() {
    // Every write is one whole record, so reads of whole records stay in step.
    SignalRecord records[8];
    ssize_t length = 0;
    while ((length = ::read(m_pipe[0], records, sizeof records)) > 0) {
        for (ssize_t at = 0; at + ssize_t(sizeof(SignalRecord)) <= length; at += ssize_t(sizeof(SignalRecord))) {
            const SignalRecord& record = records[at / ssize_t(sizeof(SignalRecord))];
            QuitSignal heard{record.number, {}, {}, {}};
            if (record.hasSender) {
                heard.senderProcess = record.senderProcess;
                heard.senderUser = record.senderUser;
                heard.senderName = QString::fromLocal8Bit(record.senderName, qstrnlen(record.senderName, 16));
            }
            if (m_heard) m_heard(heard);
        }
    }
    QCoreApplication::quit();
}

}  // namespace quorvelle
