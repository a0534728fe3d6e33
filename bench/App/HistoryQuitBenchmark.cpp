// A quit (a logout's SIGTERM, which a session follows with SIGKILL when it waits no longer) must end
// the app within 2 s whatever the size of its history and whatever the history is doing, and lose
// nothing. The real app starts over a seeded history (0, 100,000 and 300,000 entries by default)
// and gets SIGTERM either while its history is still being read (every processor busy from before
// the start, so the read of a long history is slow) or once the read is done (every processor made
// busy after it, a second before the signal). The time from the signal to the process's end is
// taken from a pidfd, which the kernel makes readable as the process ends. After each quit the
// history is read as the next start would: every seeded entry must be there. Prints each case's
// median and slowest quit with the load average, and whether the read was still running at the
// signal (by the state of the app's history thread). Exit status 1 when a quit took 2 s or more, a
// quit never came, or an entry was lost. Run inside scripts/desktop-test-env. Arguments: rounds
// per case (5) and the executable (this build's). Options: --entries=N,M,... the history sizes;
// --loops=N the busy loops per processor (2). With --gaps, instead: the longest the app's main thread
// went without answering while its history thread read the history (every processor busy), against
// the same probe's figure once the read is done: the history thread's share of the processors is
// what a quit waits for, and what the window's thread gives up while it works. With --after-start[=MS,MS,...] instead:
// SIGTERM that long after the launch (0.5, 2 and 5 s by default, over an empty history unless --entries says), every
// processor busy from before it, whatever the start is doing then; the same limit and count.
#include "AppUnderTest.h"
#include "BusyProcessors.h"
#include "FakeBackendServer.h"
#include "MainThreadProbe.h"
#include "SeededHistory.h"
#include "TestEventLoop.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>

#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <vector>

namespace {

using namespace quorvelle;
using namespace quorvelle::test;

constexpr double kQuitLimitMs = 2000;
// How long a quit is awaited before it counts as never coming.
constexpr int kQuitBoundMs = 60'000;
constexpr int kStartBoundMs = 180'000;
// A read of a long history with every processor busy takes minutes: it is awaited on an idle machine.
constexpr int kReadBoundMs = 600'000;

// The state of the app's history thread as /proc tells it: 'R' reading or writing (or waiting for a
// processor to do so), 'S' waiting for work, 0 when the thread is not there (yet).
char historyThreadState(qint64 pid) {
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != "history-writer") continue;
        QFile stat(tasks.filePath(task + QStringLiteral("/stat")));
        if (!stat.open(QIODevice::ReadOnly)) return 0;
        const QByteArray line = stat.readAll();
        // The state follows the command name, which is in parentheses and may hold anything.
        const qsizetype after = line.lastIndexOf(") ");
        return after >= 0 && after + 2 < line.size() ? line[after + 2] : char(0);
    }
    return 0;
}

// Milliseconds from SIGTERM to the end of the process; nothing when it did not end within the bound.
std::optional<double> quitMs(qint64 pid) {
    const int process = int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
    if (process < 0) return std::nullopt;
    QElapsedTimer timer;
    timer.start();
    ::kill(pid_t(pid), SIGTERM);
    pollfd ended{process, POLLIN, 0};
    int ready = 0;
    while ((ready = ::poll(&ended, 1, kQuitBoundMs)) < 0 && errno == EINTR) {
    }
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    ::close(process);
    return ready > 0 ? std::optional(elapsed) : std::nullopt;
}

struct Case {
    const char* name;
    bool whileReading;
};

struct Tally {
    std::vector<double> quitMs;
    int rounds = 0;
    int readingAtSignal = 0;
    int neverQuit = 0;
    int lost = 0;
    int notReady = 0;
};

void quitOnce(FakeBackendServer& server, const QString& program, const SeededHistory& history, const Case& quit,
              int loopsPerProcessor, Tally& tally) {
    AppUnderTest app(server.baseUrl());
    if (!program.isEmpty()) app.setProgram(program);
    if (!history.writeInto(app)) {
        ++tally.notReady;
        return;
    }
    std::optional<BusyProcessors> busy;
    if (quit.whileReading) busy.emplace(loopsPerProcessor);
    try {
        app.start();
    } catch (const std::runtime_error& error) {
        ++tally.notReady;
        std::printf("%s\n", error.what());
        return;
    }
    if (!app.waitUntilHotkeyRegistered(kStartBoundMs)) {
        ++tally.notReady;
        std::printf("the app did not get ready: %s\n", qPrintable(app.standardError()));
        return;
    }
    if (!quit.whileReading) {
        if (!waitUntil([&] { return historyThreadState(app.processId()) == 'S'; }, kReadBoundMs)) {
            ++tally.notReady;
            std::printf("the history was not read within %d s\n", kReadBoundMs / 1000);
            return;
        }
        busy.emplace(loopsPerProcessor);
        // Long enough for the scheduler to share every processor among the loops.
        QThread::msleep(1000);
    }
    ++tally.rounds;
    if (historyThreadState(app.processId()) != 'S') ++tally.readingAtSignal;
    const std::optional<double> ms = quitMs(app.processId());
    busy.reset();
    if (!ms) {
        ++tally.neverQuit;
        return;
    }
    tally.quitMs.push_back(*ms);
    waitUntil([&] { return !app.isRunning(); }, kQuitBoundMs);
    if (app.historyEntries().size() != history.count()) ++tally.lost;
}

// SIGTERM a set time after the launch, every processor busy from before it.
void quitAfterStart(FakeBackendServer& server, const QString& program, const SeededHistory& history, int afterMs,
                    int loopsPerProcessor, Tally& tally) {
    AppUnderTest app(server.baseUrl());
    if (!program.isEmpty()) app.setProgram(program);
    if (!history.writeInto(app)) {
        ++tally.notReady;
        return;
    }
    std::optional<BusyProcessors> busy(std::in_place, loopsPerProcessor);
    // Long enough for the scheduler to share every processor among the loops.
    QThread::msleep(1000);
    QElapsedTimer sinceLaunch;
    sinceLaunch.start();
    try {
        app.start();
    } catch (const std::runtime_error& error) {
        ++tally.notReady;
        std::printf("%s\n", error.what());
        return;
    }
    waitUntil([] { return false; }, std::max(0, afterMs - int(sinceLaunch.elapsed())));
    ++tally.rounds;
    if (historyThreadState(app.processId()) != 'S') ++tally.readingAtSignal;
    const std::optional<double> ms = quitMs(app.processId());
    busy.reset();
    if (!ms) {
        ++tally.neverQuit;
        return;
    }
    tally.quitMs.push_back(*ms);
    waitUntil([&] { return !app.isRunning(); }, kQuitBoundMs);
    if (app.historyEntries().size() != history.count()) ++tally.lost;
}

// The main thread's longest gap while the history is read, then for as long again once it is read.
void measureGaps(FakeBackendServer& server, const QString& program, const SeededHistory& history, int loopsPerProcessor,
                 std::vector<double>& reading, std::vector<double>& afterwards) {
    AppUnderTest app(server.baseUrl());
    if (!program.isEmpty()) app.setProgram(program);
    if (!history.writeInto(app)) return;
    const BusyProcessors busy(loopsPerProcessor);
    app.start();
    if (!app.waitUntilHotkeyRegistered(kStartBoundMs)) return;
    MainThreadProbe probe(app.processId());
    if (!probe.isAnswered() || historyThreadState(app.processId()) != 'R') {
        std::printf("  the read ended before the probe answered\n");
        return;
    }
    QElapsedTimer timer;
    timer.start();
    probe.start();
    if (!waitUntil([&] { return historyThreadState(app.processId()) == 'S'; }, kReadBoundMs)) return;
    reading.push_back(probe.stop());
    const int readMs = int(timer.elapsed());
    probe.start();
    waitUntil([] { return false; }, readMs);
    afterwards.push_back(probe.stop());
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (!insideDesktopTestEnvironment()) return 1;
    QStringList positional;
    std::vector<int> sizes{0, 100'000, 300'000};
    int loopsPerProcessor = 2;
    bool gaps = false;
    std::vector<int> afterStartMs;
    bool sizesGiven = false;
    for (const QString& argument : application.arguments().mid(1)) {
        if (argument.startsWith(u"--entries=")) {
            sizes.clear();
            sizesGiven = true;
            for (const QString& size : argument.section(u'=', 1).split(u','))
                sizes.push_back(std::max(0, size.toInt()));
        } else if (argument.startsWith(u"--after-start=")) {
            for (const QString& ms : argument.section(u'=', 1).split(u','))
                afterStartMs.push_back(std::max(0, ms.toInt()));
        } else if (argument == u"--after-start") {
            afterStartMs = {500, 2000, 5000};
        } else if (argument == u"--gaps") {
            gaps = true;
        } else if (argument.startsWith(u"--loops=")) {
            loopsPerProcessor = std::max(1, argument.section(u'=', 1).toInt());
        } else {
            positional << argument;
        }
    }
    const int rounds = positional.size() > 0 ? std::max(1, positional[0].toInt()) : 5;
    const QString program = positional.value(1);
    FakeBackendServer server;
    seedSignedInSession();
    if (gaps) {
        for (const int entries : sizes) {
            const SeededHistory history(entries);
            const QByteArray loadBefore = loadAverage();
            std::vector<double> reading, afterwards;
            for (int round = 0; round < rounds; ++round)
                measureGaps(server, program, history, loopsPerProcessor, reading, afterwards);
            const auto slowest = [](const std::vector<double>& ms) {
                return ms.empty() ? -1 : *std::max_element(ms.cbegin(), ms.cend());
            };
            std::sort(reading.begin(), reading.end());
            std::sort(afterwards.begin(), afterwards.end());
            std::printf(
                "%7d entries, %d busy loops a processor, %zu reads measured: main thread's longest gap while the "
                "history is read, median %.0f ms, slowest %.0f ms; as long again after, median %.0f ms, slowest "
                "%.0f ms; load average %s -> %s\n",
                entries, loopsPerProcessor, reading.size(), reading.empty() ? -1 : reading[reading.size() / 2],
                slowest(reading), afterwards.empty() ? -1 : afterwards[afterwards.size() / 2], slowest(afterwards),
                loadBefore.constData(), loadAverage().constData());
            std::fflush(stdout);
        }
        clearStoredSession();
        return 0;
    }
    std::printf("SIGTERM to the end of the process, %d busy loops a processor; limit %.0f ms\n", loopsPerProcessor,
                kQuitLimitMs);
    bool withinLimit = true;
    const auto report = [&](int entries, const char* name, Tally& tally, const QByteArray& loadBefore) {
        std::sort(tally.quitMs.begin(), tally.quitMs.end());
        const double median = tally.quitMs.empty() ? -1 : tally.quitMs[tally.quitMs.size() / 2];
        const double slowest = tally.quitMs.empty() ? -1 : tally.quitMs.back();
        const auto late =
            std::count_if(tally.quitMs.cbegin(), tally.quitMs.cend(), [](double ms) { return ms >= kQuitLimitMs; });
        std::printf(
            "%7d entries, %-28s %d rounds (%d with the read still running at the signal): quit median "
            "%.0f ms, slowest %.0f ms, %ld at 2 s or more, %d never ended, %d histories lost entries, "
            "%d starts failed; load average %s -> %s\n",
            entries, name, tally.rounds, tally.readingAtSignal, median, slowest, long(late), tally.neverQuit,
            tally.lost, tally.notReady, loadBefore.constData(), loadAverage().constData());
        std::fflush(stdout);
        withinLimit = withinLimit && late == 0 && tally.neverQuit == 0 && tally.lost == 0 && tally.notReady == 0;
    };
    if (!afterStartMs.empty()) {
        if (!sizesGiven) sizes = {0};
        for (const int entries : sizes) {
            const SeededHistory history(entries);
            for (const int afterMs : afterStartMs) {
                const QByteArray loadBefore = loadAverage();
                Tally tally;
                for (int round = 0; round < rounds; ++round)
                    quitAfterStart(server, program, history, afterMs, loopsPerProcessor, tally);
                const QByteArray name = QByteArray::number(afterMs) + " ms after the launch";
                report(entries, name.constData(), tally, loadBefore);
            }
        }
        clearStoredSession();
        return withinLimit ? 0 : 1;
    }
    for (const int entries : sizes) {
        const SeededHistory history(entries);
        for (const Case& quit : {Case{"while the history is read", true}, Case{"after the history was read", false}}) {
            const QByteArray loadBefore = loadAverage();
            Tally tally;
            for (int round = 0; round < rounds; ++round)
                quitOnce(server, program, history, quit, loopsPerProcessor, tally);
            report(entries, quit.name, tally, loadBefore);
        }
    }
    clearStoredSession();
    return withinLimit ? 0 : 1;
}
