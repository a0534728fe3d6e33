// The running application, measured from outside as a user meets it: start to a tray icon, memory
// when idle, hot-key press to the microphone being read, key release to the text in a field (the
// fake backend answers at once). Prints its figures. Run inside scripts/desktop-test-env.
#include "AppUnderTest.h"
#include "AppWindows.h"
#include "FakeBackendServer.h"
#include "FixtureApp.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"
#include "TestMicrophone.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace quorvelle;
using namespace quorvelle::test;

const QStringList kHotkey{"Control_L", "Alt_L", "space"};
const QString kAppClass = QStringLiteral("Quorvelle");
const QSize kOverlaySize(416, 188);

double median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double percentile95(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, values.size() * 95 / 100)];
}

void print(const char* name, const std::vector<double>& ms) {
    std::printf("%-38s median %8.1f ms   p95 %8.1f ms   (%zu runs)\n", name, median(ms), percentile95(ms), ms.size());
    std::fflush(stdout);
}

bool iconInTray() {
    const auto windows = windowsOfClass(kAppClass);
    return std::any_of(windows.begin(), windows.end(), [](const DesktopWindow& w) { return w.inTray && w.viewable; });
}

long residentKilobytes(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Fills the test microphone's pipe while nobody records and returns once a recording starts reading
// it (false after `timeoutMs`).
bool waitForReader(const QByteArray& pcm, int timeoutMs) {
    const int fd = ::open(qgetenv("QUORVELLE_TEST_MIC_FIFO").constData(), O_WRONLY | O_NONBLOCK);
    if (fd < 0) return false;
    ::fcntl(fd, F_SETPIPE_SZ, 4096);
    qsizetype offset = 0;
    while (offset < pcm.size()) {
        const ssize_t n = ::write(fd, pcm.constData() + offset, size_t(pcm.size() - offset));
        if (n <= 0) break;
        offset += n;
    }
    pollfd entry{fd, POLLOUT, 0};
    const bool read = ::poll(&entry, 1, timeoutMs) == 1;
    ::close(fd);
    return read;
}

void waitUntilIdle() {
    waitUntil([] { return !viewableWindow(kAppClass, kOverlaySize); }, 15000);
}

void measureStart() {
    std::vector<double> ms;
    for (int run = 0; run < 5; ++run) {
        AppUnderTest app;
        QElapsedTimer timer;
        timer.start();
        app.start();
        if (waitUntil(iconInTray, 10000)) ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    print("start to tray icon registered", ms);
}

void measureSession(FakeBackendServer& server) {
    seedSignedInSession();
    AppUnderTest app(server.baseUrl());
    app.start();
    if (!app.waitUntilHotkeyRegistered()) {
        std::printf("the app did not register its hot key: %s\n", qPrintable(app.standardError()));
        return;
    }
    waitUntil([] { return false; }, 10000);
    std::printf("%-38s %8.1f MB\n", "idle resident memory after 10 s",
                double(residentKilobytes(app.processId())) / 1024);

    FixtureApp fixture(FixtureApp::Toolkit::Qt, QStringLiteral("Benchmark target"));
    fixture.focus(QStringLiteral("single"));
    bringToFront(fixture.processId());
    TestMicrophone microphone;

    // The pipe is full and waits for a reader: the sound server reads it once a recording runs.
    std::vector<double> startMs;
    const QByteArray quiet(16000, '\0');
    for (int run = 0; run < 10; ++run) {
        microphone.drain();
        QElapsedTimer timer;
        sendKeys(kHotkey, true);
        timer.start();
        if (waitForReader(quiet, 5000)) startMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        sendKeys(kHotkey, false);
        waitUntilIdle();
    }
    print("hot-key press to capture running", startMs);

    std::vector<double> deliveryMs;
    const QString expected = QStringLiteral("benchmark words");
    for (int run = 0; run < 20; ++run) {
        microphone.drain();
        fixture.setText(QStringLiteral("single"), QString());
        sendKeys(kHotkey, true);
        microphone.speak(TestMicrophone::speech());
        microphone.finish();
        waitUntil([] { return false; }, 300);
        QElapsedTimer timer;
        sendKeys(kHotkey, false);
        timer.start();
        if (waitUntil([&] { return fixture.texts().value(QStringLiteral("single")).toString() == expected; }, 10000))
            deliveryMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        waitUntilIdle();
    }
    print("key release to text in the field", deliveryMs);
    clearStoredSession();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") {
        std::printf("run inside scripts/desktop-test-env\n");
        return 1;
    }
    FakeBackendServer server;
    server.respond("POST", QStringLiteral("/v1/transcriptions"),
                   FakeResponse::json(200, R"({"request_id":"bench","text":"benchmark words"})"));
    measureStart();
    measureSession(server);
    return 0;
}
