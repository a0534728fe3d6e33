// Many dictations in a row into one running app over a large history, to run a sanitized build
// under a user's load: whole dictations, presses let go at once, and presses that come while the
// last session's end is still shown. After each it checks that the app still runs; at the end it
// quits the app as a logout would and prints what the app wrote to its standard error. Exits 1 when
// the app ended early, quit with a failure, or reported a fault. Run inside scripts/desktop-test-env.
// Arguments: --dictations N (300), --history N (300,000 entries), --program PATH (this build's).
#include "AppUnderTest.h"
#include "FakeBackendServer.h"
#include "FixtureApp.h"
#include "OverlayPanel.h"
#include "SeededHistory.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"
#include "TestMicrophone.h"

#include <QApplication>

#include <signal.h>

#include <cstdio>

namespace {

using namespace quorvelle;
using namespace quorvelle::test;

const QStringList kHotkey{"Control_L", "Alt_L", "space"};
const QString kWords = QStringLiteral("soak test words");
const QString kField = QStringLiteral("single");

int option(const QStringList& arguments, const QString& name, int fallback) {
    const qsizetype at = arguments.indexOf(name);
    return at > 0 ? std::max(1, arguments.value(at + 1).toInt()) : fallback;
}

bool reportsFault(const QString& output) {
    return output.contains(QLatin1String("Sanitizer")) || output.contains(QLatin1String("runtime error:"));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (!insideDesktopTestEnvironment()) return 1;
    const QStringList arguments = QApplication::arguments();
    const int dictations = option(arguments, QStringLiteral("--dictations"), 300);
    const int historySize = option(arguments, QStringLiteral("--history"), 300'000);

    FakeBackendServer server;
    answerTranscriptionsWith(server, kWords);
    seedSignedInSession();
    AppUnderTest app(server.baseUrl());
    const qsizetype programAt = arguments.indexOf(QStringLiteral("--program"));
    if (programAt > 0) app.setProgram(arguments.value(programAt + 1));
    if (!SeededHistory(historySize).writeInto(app)) return 1;
    app.start();
    if (!app.waitUntilHotkeyRegistered(120000)) {
        std::printf("the app did not register its hot key:\n%s\n", qPrintable(app.standardError()));
        return 1;
    }
    FixtureApp fixture(FixtureApp::Toolkit::Qt, QStringLiteral("Soak target"));
    fixture.focus(kField);
    bringToFront(fixture.processId());
    TestMicrophone microphone;

    int landed = 0;
    int done = 0;
    for (; done < dictations && app.isRunning(); ++done) {
        if (done > 0 && done % 50 == 0) {
            std::printf("%d presses, %d dictations landed\n", done, landed);
            std::fflush(stdout);
        }
        if (done % 5 == 4) {
            // Let go before anything was said: the session ends as too short.
            sendKeys(kHotkey, true);
            waitUntil([] { return false; }, 100);
            sendKeys(kHotkey, false);
            waitUntilIdle();
            continue;
        }
        fixture.setText(kField, QString());
        speakWithHotkeyDown(microphone, kHotkey);
        sendKeys(kHotkey, false);
        if (waitUntil([&] { return fixture.texts().value(kField).toString() == kWords; }, 20000)) ++landed;
        if (done % 7 == 6) {
            // Pressed again while this session's end is shown, and let go at once.
            sendKeys(kHotkey, true);
            waitUntil([] { return false; }, 150);
            sendKeys(kHotkey, false);
        }
        waitUntilIdle();
    }
    const bool ranThrough = app.isRunning();
    ::kill(pid_t(app.processId()), SIGTERM);
    const bool quit = waitUntil([&] { return !app.isRunning(); }, 60000);
    const QString output = app.standardError();
    const qsizetype entries = app.historyEntries().size();
    clearStoredSession();
    std::printf("%d presses, %d dictations landed; history %lld entries (seeded %d); app %s\n", done, landed,
                static_cast<long long>(entries), historySize,
                !ranThrough ? "ended early" : (quit ? "quit on SIGTERM" : "did not quit on SIGTERM"));
    std::printf("--- app standard error ---\n%s\n", qPrintable(output));
    const bool complete = entries >= historySize + landed;
    return ranThrough && quit && complete && !reportsFault(output) ? 0 : 1;
}
