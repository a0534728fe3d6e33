// Why the real executable ended, as its diagnostics log keeps it for the next look: a run killed
// outright, a SIGTERM from a process the test knows, and the Quit of the tray panel.
#include "AppControls.h"
#include "AppUnderTest.h"
#include "FakeBackendServer.h"
#include "TestEventLoop.h"

#include "App/AppExitLog.h"

#include <QProcess>
#include <QScopeGuard>

#include <gtest/gtest.h>

#include <unistd.h>
#include <csignal>

namespace quorvelle::test {
namespace {

constexpr int kLong = 30000;

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
    // Its start is written with the settings, a moment after it is logged.
    ASSERT_TRUE(waitUntil([&] { return logged(AppExitLog::startedCode).size() == 1; }, kLong)) << app.eventLog();
    ::kill(pid_t(killed), SIGKILL);
    ASSERT_TRUE(ended());

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

}  // namespace
}  // namespace quorvelle::test
