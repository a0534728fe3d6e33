// Key release to the words standing in the field, through the real executable, in the Qt 6 and
// GTK 3 fixtures whose focus never moves; the fake backend answers at once. Target: 30 ms. Set
// QUORVELLE_BENCH_APP to another build's executable to compare. Prints the median and the 95th
// percentile per toolkit. Run inside scripts/desktop-test-env.
#include "AppUnderTest.h"
#include "AppWindows.h"
#include "FakeBackendServer.h"
#include "FixtureApp.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"
#include "TestMicrophone.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace quorvelle;
using namespace quorvelle::test;

const QStringList kHotkey{"Control_L", "Alt_L", "space"};
const QString kWords = QStringLiteral("benchmark words");
constexpr int kDictations = 20;

void print(const char* name, std::vector<double> ms) {
    if (ms.empty()) {
        std::printf("%-34s no dictation arrived\n", name);
        return;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s median %7.1f ms   p95 %7.1f ms   (%zu of %d arrived)\n", name, ms[ms.size() / 2],
                ms[std::min(ms.size() - 1, ms.size() * 95 / 100)], ms.size(), kDictations);
    std::fflush(stdout);
}

void waitUntilIdle() {
    waitUntil([] { return !viewableWindow(QStringLiteral("Quorvelle"), QSize(416, 188)); }, 15000);
}

void measure(const char* name, FixtureApp::Toolkit toolkit, TestMicrophone& microphone) {
    FixtureApp fixture(toolkit, QStringLiteral("Release benchmark"));
    fixture.focus(QStringLiteral("single"));
    bringToFront(fixture.processId());
    std::vector<double> ms;
    for (int run = 0; run < kDictations; ++run) {
        fixture.setText(QStringLiteral("single"), QString());
        speakWithHotkeyDown(microphone, kHotkey);
        QElapsedTimer timer;
        sendKeys(kHotkey, false);
        timer.start();
        if (waitUntil([&] { return fixture.texts().value(QStringLiteral("single")).toString() == kWords; }, 10000))
            ms.push_back(double(timer.nsecsElapsed()) / 1e6);
        waitUntilIdle();
    }
    print(name, ms);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (!insideDesktopTestEnvironment()) return 1;
    FakeBackendServer server;
    answerTranscriptionsWith(server, kWords);
    seedSignedInSession();
    AppUnderTest app(server.baseUrl());
    if (const QString other = qEnvironmentVariable("QUORVELLE_BENCH_APP"); !other.isEmpty()) app.setProgram(other);
    app.start();
    if (!app.waitUntilHotkeyRegistered()) {
        std::printf("the app did not register its hot key: %s\n", qPrintable(app.standardError()));
        return 1;
    }
    TestMicrophone microphone;
    measure("Qt 6 field: key release to text", FixtureApp::Toolkit::Qt, microphone);
    measure("GTK 3 field: key release to text", FixtureApp::Toolkit::Gtk, microphone);
    clearStoredSession();
    return 0;
}
