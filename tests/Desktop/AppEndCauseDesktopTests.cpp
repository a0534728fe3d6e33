// Why the real executable ended, as its diagnostics log keeps it for the next look: a run killed
// outright after it logged more events than the log keeps, a SIGTERM from a process the test knows,
// the Quit of the tray panel, and the loss of its X display, however it comes.
#include "AppControls.h"
#include "AppUnderTest.h"
#include "AppWindows.h"
#include "FakeBackendServer.h"
#include "PrivateXServer.h"
#include "TestEventLoop.h"

#include "App/AppExitLog.h"
#include "App/InstanceChannel.h"
#include "Services/Storage/UserDefaultsDiagnosticsStore.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>

#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <csignal>

namespace quorvelle::test {
namespace {

constexpr int kLong = 30000;
const QString kAppClass = QStringLiteral("Quorvelle");

class AppEndCauseDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
        seedSignedInSession();
    }
    void TearDown() override { clearStoredSession(); }

    qint64 startApp() {
        app.start();
        EXPECT_TRUE(app.waitUntilHotkeyRegistered(kLong)) << app.standardError().toStdString();
        // What a start logs is written a moment later; its look at the last run comes first.
        const QString started = QStringLiteral("Started as process %1,").arg(app.processId());
        EXPECT_TRUE(waitUntil([&] { return logged(AppExitLog::startedCode).value(0).startsWith(started); }, kLong))
            << app.eventLog();
        return app.processId();
    }
    bool ended() {
        return waitUntil([&] { return !app.isRunning(); }, kLong);
    }
    // The messages logged under `code`, newest first.
    QStringList logged(const char* code) const {
        QStringList messages;
        for (const SanitizedDiagnosticsEvent& event : app.diagnosticsEvents())
            if (event.code == QLatin1String(code)) messages << event.message;
        return messages;
    }

    FakeBackendServer server;
    AppUnderTest app{server.baseUrl()};
};

TEST_F(AppEndCauseDesktop, EachEndIsLoggedWithItsCauseAndARunKilledOutrightIsNamedAtTheNextStart) {
    const qint64 killed = startApp();
    // More events than the log keeps, from the app itself: a second start's request is one each.
    const InstanceChannel channel(QDir(app.environment().value(QStringLiteral("XDG_RUNTIME_DIR")))
                                      .filePath(QStringLiteral("com.dovent.Quorvelle")));
    const int requests = int(UserDefaultsDiagnosticsStore::maximumEventCount) + 10;
    for (int i = 0; i < requests; ++i)
        ASSERT_EQ(channel.askRunningInstanceToReopen(), InstanceChannel::Reply::reopened) << "request " << i;
    // Once stored, they have pushed the start out of the list.
    ASSERT_TRUE(waitUntil([&] { return logged(AppExitLog::startedCode).isEmpty(); }, kLong)) << app.eventLog();
    ::kill(pid_t(killed), SIGKILL);
    ASSERT_TRUE(ended());
    // The X server lets go of a killed client (its windows and its hot key together) a moment after
    // it died; until then the next copy's hot key cannot be told from the dead one's.
    ASSERT_TRUE(waitUntil([] { return windowsOfClass(kAppClass).isEmpty(); }, kLong));

    const qint64 second = startApp();
    EXPECT_EQ(logged(AppExitLog::unrecordedCode).size(), 1) << app.eventLog();
    EXPECT_TRUE(logged(AppExitLog::unrecordedCode)
                    .value(0)
                    .contains(QStringLiteral("(Started as process %1, version").arg(killed)))
        << app.eventLog();
    // A process of its own sends the signal, so that the sender cannot be mistaken for the parent,
    // and stays until the app has looked at it (the name of a sender already gone cannot be read).
    QProcess sender;
    sender.start(QStringLiteral("sh"),
                 {QStringLiteral("-c"), QStringLiteral("kill -TERM \"$0\"; sleep 60"), QString::number(second)});
    ASSERT_TRUE(sender.waitForStarted());
    const qint64 killer = sender.processId();
    const auto stopSender = qScopeGuard([&] {
        sender.kill();
        sender.waitForFinished();
    });
    ASSERT_TRUE(ended());
    EXPECT_EQ(app.exitCode(), 0) << app.standardError().toStdString();
    EXPECT_EQ(logged(AppExitLog::signalCode),
              QStringList{QStringLiteral("Quit on SIGTERM sent by process %1 (sh) of user %2 (process %3)")
                              .arg(killer)
                              .arg(::getuid())
                              .arg(second)})
        << app.eventLog();

    const qint64 third = startApp();
    ASSERT_TRUE(openTrayPanel(third)) << app.standardError().toStdString();
    ASSERT_TRUE(pressAppControl(third, 360, QStringLiteral("push button"), QStringLiteral("Quit")));
    ASSERT_TRUE(ended()) << app.eventLog() << app.standardError().toStdString();
    EXPECT_EQ(app.exitCode(), 0) << app.standardError().toStdString();
    EXPECT_EQ(logged(AppExitLog::quitActionCode),
              QStringList{QStringLiteral("Quit from the tray panel's Quit button (process %1)").arg(third)})
        << app.eventLog();
    // The third start found the second run's end logged: only the killed run is missing its cause.
    EXPECT_EQ(logged(AppExitLog::unrecordedCode).size(), 1) << app.eventLog();
    EXPECT_TRUE(logged(AppExitLog::unexplainedCode).isEmpty()) << app.eventLog();
}

// The X server goes away under the app, again and again: each time the app ends as a quit does,
// through its own _exit() with status 1 once the history is made safe, never through exit(), whose
// destructors would run beside threads still at work (Qt's and Xlib's way), whichever of its
// threads met the loss first; the log says why, and the next start blames nothing else. Every
// other round the app is stopped while the server goes, so that all its threads find the loss at
// once when it goes on, at any load.
TEST_F(AppEndCauseDesktop, EveryLossOfTheDisplayEndsThroughTheAppsOwnEndAndIsLoggedAsSuch) {
    constexpr int kRounds = 20;
    app.setEnvironment(QStringLiteral("LD_PRELOAD"), QStringLiteral(QUORVELLE_EXIT_TRACE_PATH));
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        PrivateXServer xserver;
        ASSERT_FALSE(xserver.display().isEmpty()) << xserver.failure().toStdString();
        app.setEnvironment(QStringLiteral("DISPLAY"), xserver.display());
        const qsizetype earlierOutput = app.standardError().size();
        app.start();
        const qint64 lost = app.processId();
        // With no tray there, the app shows its dashboard once it is up.
        ASSERT_TRUE(waitUntil(
            [&] {
                const auto windows = windowsOfClass(kAppClass, xserver.display());
                return std::any_of(windows.begin(), windows.end(), [](const DesktopWindow& w) { return w.viewable; });
            },
            kLong))
            << app.standardError().toStdString();
        const bool stopped = round % 2 == 1;
        if (stopped) ::kill(pid_t(lost), SIGSTOP);
        xserver.stop();
        if (stopped) ::kill(pid_t(lost), SIGCONT);
        ASSERT_TRUE(ended());
        const QString standardError = app.standardError().mid(earlierOutput);
        EXPECT_EQ(app.exitCode(), 1) << standardError.toStdString();
        EXPECT_TRUE(standardError.contains(QStringLiteral("exit trace: _exit(1)"))) << standardError.toStdString();
        EXPECT_FALSE(standardError.contains(QStringLiteral("exit trace: exit("))) << standardError.toStdString();
        // A sanitized build reports at exit() what is still allocated beside live threads.
        EXPECT_FALSE(standardError.contains(QStringLiteral("Sanitizer"))) << standardError.toStdString();
        EXPECT_EQ(logged(AppExitLog::displayLostCode).value(0),
                  QStringLiteral("Ended because the connection to the X display was lost (the X server "
                                 "stopped or closed the connection) (process %1)")
                      .arg(lost))
            << app.eventLog() << standardError.toStdString();
        if (HasFailure()) break;
    }

    app.removeEnvironment(QStringLiteral("LD_PRELOAD"));
    app.setEnvironment(QStringLiteral("DISPLAY"), QString::fromLocal8Bit(qgetenv("DISPLAY")));
    startApp();
    EXPECT_TRUE(logged(AppExitLog::unrecordedCode).isEmpty()) << app.eventLog();
    EXPECT_TRUE(logged(AppExitLog::unexplainedCode).isEmpty()) << app.eventLog();
}

}  // namespace
}  // namespace quorvelle::test
