// Why the app ended, as the diagnostics log keeps it: the causes told to the log, a run whose end
// went unrecorded, and the quits nobody announced.
#include "App/AppExitLog.h"
#include "App/AppExitWatch.h"
#include "ManualTime.h"
#include "Services/Storage/InMemoryUserDefaults.h"
#include "Services/Storage/UserDefaultsDiagnosticsStore.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>

namespace quorvelle {
namespace {

class AppExitLogTest : public ::testing::Test {
protected:
    // One run of the app over the stored log; a later run is made again over the same store.
    std::unique_ptr<AppExitLog> run(qint64 processId) {
        clock.advance(5);
        return std::make_unique<AppExitLog>(store, processId, [this] { return clock.now(); });
    }
    QStringList lines() const {
        QStringList found;
        for (const SanitizedDiagnosticsEvent& event : store->events())
            found << event.code + QStringLiteral(": ") + event.message;
        return found;
    }

    test::ManualClock clock;
    std::shared_ptr<UserDefaultsDiagnosticsStore> store = std::make_shared<UserDefaultsDiagnosticsStore>(
        std::make_shared<InMemoryUserDefaults>(), [this] { return clock.now(); });
};

TEST_F(AppExitLogTest, EachRunKeepsItsFirstCauseAndARunThatEndedUnheardIsNamedAtTheNextStart) {
    run(100)->recordStart("1.0");
    // Ended without a word: the next start says which run that was.
    const auto second = run(200);
    second->recordStart("1.0");
    EXPECT_EQ(lines().mid(0, 2),
              (QStringList{"app.lifecycle.started: Started as process 200, version 1.0",
                           "app.exit.unrecorded: The run logged at " +
                               store->events().at(2).timestamp.toString(Qt::ISODateWithMs) +
                               " (Started as process 100, version 1.0) ended without recording why: it was killed "
                               "outright (SIGKILL, as the out-of-memory killer or kill -9 sends), it crashed, or "
                               "the machine stopped"}));
    // The signal is the cause; the quit it sets off, and anything after, are not.
    second->recordSignal("SIGTERM", 4321, 1000, "kill");
    second->recordQuitAction("the tray icon menu's Quit");
    second->recordUnexplainedQuit("a quit request reached the application");
    EXPECT_TRUE(second->hasCause());
    EXPECT_EQ(lines().first(),
              "app.exit.signal: Quit on SIGTERM sent by process 4321 (kill) of user 1000 (process 200)");
    // A start after a recorded end finds nothing amiss; a second start's request is no end.
    const auto third = run(300);
    third->recordStart("1.1");
    EXPECT_TRUE(lines().at(1).startsWith("app.exit.signal")) << lines().join("\n").toStdString();
    third->recordReopenRequest(301);
    EXPECT_EQ(lines().first(),
              "app.lifecycle.reopen_requested: A second start (process 301) asked this copy to "
              "show its dashboard");
    run(400)->recordStart("1.1");
    EXPECT_TRUE(lines().at(1).startsWith("app.exit.unrecorded: The run logged at") &&
                lines().at(1).contains("(Started as process 300, version 1.1)"))
        << lines().join("\n").toStdString();

    // A signal from the kernel (a terminal's Control+C) has no sender to name.
    const auto fifth = run(500);
    fifth->recordSignal("SIGINT", std::nullopt, std::nullopt, {});
    EXPECT_EQ(lines().first(), "app.exit.signal: Quit on SIGINT from the system (no sending process) (process 500)");
}

// The watch sees every quit request that reaches the application: one nobody announced is logged
// with the calls that made it, an announced one is left to its announcer.
TEST_F(AppExitLogTest, AQuitNobodyAnnouncedIsLoggedWithItsCallerAndAnAnnouncedOneIsNot) {
    const auto log = run(100);
    int flushes = 0;
    {
        AppExitWatch watch(*log, [&] { ++flushes; });
        QTimer::singleShot(0, [] { QCoreApplication::quit(); });
        EXPECT_EQ(QCoreApplication::exec(), 0);
        watch.eventLoopEnded(0);
    }
    ASSERT_EQ(store->events().size(), 1);
    const QString logged = lines().first();
    EXPECT_TRUE(
        logged.startsWith("app.exit.unexplained: Quit without a known cause: a quit request reached the "
                          "application; calls: "))
        << logged.toStdString();
    // The quit was called directly: the call is on the stack, not the event loop's delivery of it.
    EXPECT_TRUE(logged.contains("calls: libQt6Core.so.6 QCoreApplicationPrivate::quit()")) << logged.toStdString();

    const auto announced = run(200);
    {
        AppExitWatch watch(*announced, [&] { ++flushes; });
        QTimer::singleShot(0, [&] {
            announced->recordQuitAction("the tray panel's Quit button");
            QCoreApplication::quit();
        });
        QCoreApplication::exec();
        watch.eventLoopEnded(0);
    }
    EXPECT_EQ(lines().first(), "app.exit.quit_action: Quit from the tray panel's Quit button (process 200)");
    // An event loop ended without a quit request at all.
    const auto exited = run(300);
    {
        AppExitWatch watch(*exited, [&] { ++flushes; });
        QTimer::singleShot(0, [] { QCoreApplication::exit(3); });
        watch.eventLoopEnded(QCoreApplication::exec());
    }
    EXPECT_EQ(lines().first(),
              "app.exit.unexplained: Quit without a known cause: the event loop ended with code 3 "
              "and no quit request (process 300)");
    EXPECT_EQ(store->events().size(), 3);
    EXPECT_EQ(flushes, 0);
}

// A fatal end is logged and stored before the process goes.
TEST_F(AppExitLogTest, AFatalMessageIsLoggedAndStoredBeforeTheProcessEnds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto log = run(100);
    EXPECT_DEATH(
        {
            AppExitWatch watch(*log, [&] { std::fprintf(stderr, "logged: %s\n", qPrintable(lines().first())); });
            qFatal("the model file is damaged");
        },
        "logged: app.exit.fatal_error: Ended by a fatal error: the model file is damaged \\(process 100\\)");
}

}  // namespace
}  // namespace quorvelle
