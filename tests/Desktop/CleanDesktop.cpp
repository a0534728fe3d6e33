#include "CleanDesktop.h"

#include "Platform/Linux/LibsecretItemStore.h"
#include "Platform/Linux/X11Connection.h"
#include "Services/Backend/KeychainBackendTokenStore.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QThread>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <unistd.h>
#include <csignal>
#include <functional>
#include <optional>

namespace quorvelle::test {

namespace {

// Carried by every program a test process starts: "desktop folder|pid|start time" of that process.
constexpr char kTestProcessMark[] = "QUORVELLE_DESKTOP_TEST_PROCESS";
// Carried by every program scripts/desktop-test-env started, and by those its session bus started.
constexpr char kDesktopMark[] = "QUORVELLE_DESKTOP_ENV_MARK";

QString desktopFolder() {
    const QString folder = qEnvironmentVariable("QUORVELLE_DESKTOP_ENV_DIR");
    return folder.isEmpty() ? qEnvironmentVariable("DISPLAY") : folder;
}

QList<QByteArray> statFields(qint64 pid) {
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray stat = file.readAll();
    // The command name, in parentheses, may hold spaces: the fields are counted after it.
    const qsizetype nameEnd = stat.lastIndexOf(')');
    return nameEnd < 0 ? QList<QByteArray>() : stat.mid(nameEnd + 2).split(' ');
}

// Running, not a zombie; its start time, which tells it from a later process given the same pid.
std::optional<QByteArray> startTimeOfLiving(qint64 pid) {
    const QList<QByteArray> fields = statFields(pid);
    if (fields.size() < 20 || fields.at(0) == "Z") return std::nullopt;
    return fields.at(19);
}

QByteArray environmentValue(qint64 pid, const char* name) {
    QFile file(QStringLiteral("/proc/%1/environ").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray prefix = QByteArray(name) + '=';
    for (const QByteArray& entry : file.readAll().split('\0')) {
        if (entry.startsWith(prefix)) return entry.mid(prefix.size());
    }
    return {};
}

QList<qint64> processes() {
    QList<qint64> found;
    for (const QString& name : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = name.toLongLong(&number);
        if (number && pid != ::getpid()) found << pid;
    }
    return found;
}

// Started by a test process of this desktop that is gone.
bool isLeftByAGoneTest(qint64 pid, const QString& desktop) {
    const QList<QByteArray> mark = environmentValue(pid, kTestProcessMark).split('|');
    if (mark.size() < 3) return false;
    const QByteArray ownerStart = mark.at(mark.size() - 1);
    const qint64 owner = mark.at(mark.size() - 2).toLongLong();
    const QString markDesktop = QString::fromUtf8(mark.mid(0, mark.size() - 2).join('|'));
    return markDesktop == desktop && startTimeOfLiving(owner) != ownerStart;
}

QList<unsigned long> cardinals(Display* display, Window window, const char* name, Atom type) {
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    QList<unsigned long> values;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 4096, False, type, &actualType,
                           &format, &count, &remaining, &data) == Success &&
        data && format == 32) {
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        values = QList<unsigned long>(items, items + count);
    }
    if (data) XFree(data);
    return values;
}

// The processes that show the window manager's windows, by the pid each window names.
QSet<qint64> windowOwners(Display* display) {
    QSet<qint64> owners;
    for (const unsigned long window : cardinals(display, DefaultRootWindow(display), "_NET_CLIENT_LIST", XA_WINDOW)) {
        for (const unsigned long pid : cardinals(display, window, "_NET_WM_PID", XA_CARDINAL))
            owners << qint64(pid);
    }
    return owners;
}

// The desktop's own programs (X server, window manager, tray...), as scripts/desktop-test-env recorded them.
QSet<qint64> desktopServices(const QString& desktop) {
    QSet<qint64> pids;
    QFile file(desktop + QStringLiteral("/pids"));
    if (!file.open(QIODevice::ReadOnly)) return pids;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.trimmed().isEmpty()) pids << line.trimmed().toLongLong();
    }
    return pids;
}

bool holdsWithin(const std::function<bool()>& condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QThread::msleep(20);
    }
    return true;
}

// Ends what earlier tests left: their own programs, and the windows of programs the session bus
// started (those carry the desktop's mark, not a test's). At the start of a test no other test runs
// on this desktop, so no such window is anyone's.
QStringList endLeftovers(Display* display, const QString& desktop) {
    QSet<qint64> leftovers;
    for (const qint64 pid : processes()) {
        if (isLeftByAGoneTest(pid, desktop)) leftovers << pid;
    }
    const QSet<qint64> services = desktopServices(desktop);
    for (const qint64 pid : windowOwners(display)) {
        if (pid != ::getpid() && !services.contains(pid) &&
            QString::fromUtf8(environmentValue(pid, kDesktopMark)) == desktop)
            leftovers << pid;
    }
    // Killed outright: what a test left may be stuck, and nothing of its state is wanted.
    for (const qint64 pid : leftovers)
        ::kill(pid_t(pid), SIGKILL);
    const auto gone = [&] {
        for (const qint64 pid : leftovers) {
            if (startTimeOfLiving(pid)) return false;
        }
        return !windowOwners(display).intersects(leftovers);
    };
    if (holdsWithin(gone, 20000)) return {};
    QStringList still;
    for (const qint64 pid : leftovers) {
        if (startTimeOfLiving(pid)) still << QStringLiteral("process %1 left by an earlier test still runs").arg(pid);
    }
    return still.isEmpty() ? QStringList{QStringLiteral("windows of an earlier test still show")} : still;
}

QList<int> keysDown(Display* display) {
    char keys[32] = {};
    XQueryKeymap(display, keys);
    QList<int> down;
    for (int code = 8; code < 256; ++code) {
        if (keys[code / 8] & (1 << (code % 8))) down << code;
    }
    return down;
}

QStringList releaseKeyboardAndPointer(Display* display) {
    for (const int code : keysDown(display))
        XTestFakeKeyEvent(display, code, False, CurrentTime);
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int buttons = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y, &buttons);
    for (unsigned int button = 1; button <= 5; ++button) {
        if (buttons & (Button1Mask << (button - 1))) XTestFakeButtonEvent(display, button, False, CurrentTime);
    }
    XkbLockModifiers(display, XkbUseCoreKbd, 0xff, 0);
    XkbLatchModifiers(display, XkbUseCoreKbd, 0xff, 0);
    XkbLockGroup(display, XkbUseCoreKbd, 0);
    XAutoRepeatOn(display);
    XkbSetAutoRepeatRate(display, XkbUseCoreKbd, 660, 40);
    XSetInputFocus(display, PointerRoot, RevertToPointerRoot, CurrentTime);
    XSync(display, False);
    if (holdsWithin([&] { return keysDown(display).isEmpty(); }, 5000)) return {};
    return {QStringLiteral("keys still down: %1").arg(keysDown(display).size())};
}

}  // namespace

QStringList startFromCleanDesktop() {
    const QString desktop = desktopFolder();
    const std::optional<QByteArray> started = startTimeOfLiving(::getpid());
    qputenv(kTestProcessMark, desktop.toUtf8() + '|' + QByteArray::number(::getpid()) + '|' + started.value_or(""));

    Display* display = X11Connection::display();
    if (!display) return {QStringLiteral("no X server")};
    QStringList failures = endLeftovers(display, desktop);
    failures << releaseKeyboardAndPointer(display);
    try {
        KeychainBackendTokenStore::standard(std::make_shared<LibsecretItemStore>()).clearSession();
    } catch (const std::exception& error) {
        failures << QStringLiteral("the keyring kept the session: ") + QString::fromUtf8(error.what());
    }
    return failures;
}

}  // namespace quorvelle::test
