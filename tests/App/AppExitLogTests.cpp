// Why the app ended, as the diagnostics log keeps it: the causes told to the log, a run whose end
// went unrecorded, and the quits nobody announced.
#include "App/AppExitLog.h"
#include "App/AppExitWatch.h"
#include "ManualTime.h"
#include "Services/Storage/InMemoryUserDefaults.h"
#include "Services/Storage/UserDefaultsDiagnosticsStore.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace quorvelle {
namespace {

class AppExitLogTest : public ::testing::Test {
protected:
    // One run of the app over the stored log; a later run opens the same defaults again, as a
    // later process does.
    std::unique_ptr<AppExitLog> run(qint64 processId) {
        clock.advance(5);
        store = openStore();
        return std::make_unique<AppExitLog>(store, processId, [this] { return clock.now(); });
    }
    std::shared_ptr<UserDefaultsDiagnosticsStore> openStore() {
        return std::make_shared<UserDefaultsDiagnosticsStore>(defaults, [this] { return clock.now(); });
    }
    // What the rest of the app logs meanwhile, one event a second.
    void logOtherEvents(int count) {
        for (int i = 0; i < count; ++i) {
            clock.advance(1);
            store->record(SanitizedDiagnosticsEvent::make(clock.now(), DiagnosticsEventLevel::info,
                                                          QStringLiteral("capture.level"), QStringLiteral("Level")));
        }
    }
    // An event as a version that kept its marks only among the events logged it.
    void logAsAnEarlierVersion(const char* code, const QString& message) {
        clock.advance(5);
        store->record(SanitizedDiagnosticsEvent::make(clock.now(), DiagnosticsEventLevel::info,
                                                      QString::fromLatin1(code), message));
    }
    qsizetype unrecordedCount() const {
        return lines().filter(QRegularExpression(QStringLiteral("^app\\.exit\\.unrecorded:"))).size();
    }
    QStringList lines() const {
        QStringList found;
        for (const SanitizedDiagnosticsEvent& event : store->events())
            found << event.code + QStringLiteral(": ") + event.message;
        return found;
    }

    test::ManualClock clock;
    std::shared_ptr<InMemoryUserDefaults> defaults = std::make_shared<InMemoryUserDefaults>();
    std::shared_ptr<UserDefaultsDiagnosticsStore> store = openStore();
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

// The start is kept apart from the rolling list: however many events a run logs after it, the next
// start still finds it. Stores written by a version that kept its marks only among the events are
// read as before, including a run of such a version after one of this.
TEST_F(AppExitLogTest, ARunEndedUnheardIsNamedHoweverManyEventsItLoggedAndMarksOfEarlierVersionsStillCount) {
    run(100)->recordStart("1.0");
    logOtherEvents(110);
    ASSERT_EQ(store->events().size(), UserDefaultsDiagnosticsStore::maximumEventCount);
    const auto second = run(200);
    second->recordStart("1.0");
    ASSERT_EQ(unrecordedCount(), 1) << lines().join("\n").toStdString();
    EXPECT_TRUE(lines().at(1).contains("(Started as process 100, version 1.0) ended without recording why"))
        << lines().at(1).toStdString();
    // A recorded end closes the run for good, whatever follows it.
    second->recordSignal("SIGTERM", std::nullopt, std::nullopt, {});
    logOtherEvents(110);
    run(300)->recordStart("1.0");
    EXPECT_EQ(unrecordedCount(), 0) << lines().join("\n").toStdString();

    // An earlier version's start, then its end without a word: the first start of this version
    // still tells it.
    logAsAnEarlierVersion(AppExitLog::signalCode, "Quit on SIGTERM (process 300)");
    logAsAnEarlierVersion(AppExitLog::startedCode, "Started as process 400, version 0.9");
    run(500)->recordStart("1.0");
    EXPECT_EQ(unrecordedCount(), 1) << lines().join("\n").toStdString();
    EXPECT_TRUE(lines().at(1).contains("(Started as process 400, version 0.9)")) << lines().at(1).toStdString();
    // This version's run 500 is followed by one of the earlier version that ends well: run 500's
    // open mark is older than that end, so nothing is amiss.
    logAsAnEarlierVersion(AppExitLog::startedCode, "Started as process 600, version 0.9");
    logAsAnEarlierVersion(AppExitLog::signalCode, "Quit on SIGTERM (process 600)");
    run(700)->recordStart("1.0");
    EXPECT_EQ(unrecordedCount(), 1) << lines().join("\n").toStdString();
    EXPECT_EQ(lines().at(1), "app.exit.signal: Quit on SIGTERM (process 600)");
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

// An exit() from anywhere is logged as the process goes, with the calls that made it; the loss of
// the X display is named as such, from the warning Qt gives before it exits when it gives one.
TEST_F(AppExitLogTest, AnExitFromAnywhereIsLoggedAndALostDisplayIsNamedAsSuch) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto log = run(100);
    const auto printFirst = [this] { std::fprintf(stderr, "logged: %s\n", qPrintable(lines().first())); };
    EXPECT_EXIT(
        {
            AppExitWatch watch(*log, printFirst, [] { return false; });
            qWarning("a warning while the display is there");
            std::exit(1);
        },
        ::testing::ExitedWithCode(1),
        "logged: app.exit.unexplained: Quit without a known cause: exit\\(\\) was called before the event loop "
        "returned; calls: .*exit");
    EXPECT_EXIT(
        {
            AppExitWatch watch(*log, printFirst, [] { return true; });
            qWarning("The X11 connection broke (error 1). Did the X11 server die?");
            std::fprintf(stderr, "exiting\n");
            std::exit(1);
        },
        ::testing::ExitedWithCode(1),
        "logged: app.exit.display_lost: Ended because the connection to the X display was lost \\(the X server "
        "stopped or closed the connection\\) \\(process 100\\)\nexiting\n$");
    // Without a warning first (Xlib exits on its own), the exit itself finds the display gone.
    EXPECT_EXIT(
        {
            AppExitWatch watch(*log, printFirst, [] { return true; });
            std::exit(1);
        },
        ::testing::ExitedWithCode(1), "logged: app.exit.display_lost: Ended because the connection");
}

// A lost display ends the app as a quit does: what the history owes is made safe on the main thread,
// where it belongs, outside the app's own calls (at Qt's warning that the connection broke, or at
// the exit itself), and the process then ends at once, with Qt's status, without what exit() would
// still run beside the history's threads; other warnings leave it to those.
TEST_F(AppExitLogTest, ALostDisplayIsPreparedForOnTheMainThreadAndEndsWithoutWhatExitWouldStillRun) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto log = run(100);
    const auto printFirst = [this] { std::fprintf(stderr, "logged: %s\n", qPrintable(lines().first())); };
    const auto prepare = [] {
        std::fprintf(
            stderr, "prepared on %s\n",
            QThread::currentThread() == QCoreApplication::instance()->thread() ? "the main thread" : "another thread");
    };
    // Registered before the watch's own handler, so run after it, as exit() would.
    static const auto runLast = [] { std::fprintf(stderr, "exit went on\n"); };
    EXPECT_EXIT(
        {
            std::atexit(runLast);
            AppExitWatch watch(
                *log, printFirst, [] { return true; }, prepare);
            std::thread([] { qWarning("a warning of another thread"); }).join();
            qWarning("a warning from inside one of the app's own calls");
            qWarning("The X11 connection broke (error 1). Did the X11 server die?");
            std::exit(1);
        },
        ::testing::ExitedWithCode(1),
        "logged: app.exit.display_lost: [^\n]*\n[^\n]*own calls\nThe X11 connection broke[^\n]*\nprepared on the main "
        "thread\n$");
    EXPECT_EXIT(
        {
            std::atexit(runLast);
            AppExitWatch watch(
                *log, printFirst, [] { return true; }, prepare);
            std::exit(1);
        },
        ::testing::ExitedWithCode(1), "logged: app.exit.display_lost: [^\n]*\nprepared on the main thread\n$");
    // The display there: nothing is prepared and exit() goes on as ever.
    EXPECT_EXIT(
        {
            std::atexit(runLast);
            AppExitWatch watch(
                *log, printFirst, [] { return false; }, prepare);
            qWarning("a warning while the display is there");
            std::exit(1);
        },
        ::testing::ExitedWithCode(1), "logged: app.exit.unexplained: [^\n]*\nexit went on\n$");
}

// Xlib finds a connection broken on a thread of its own (Qt Quick's render thread, drawing) before
// Qt's connection has noticed: the display is gone, and that thread never goes on into exit(). The
// main thread prepares and ends the process; when it is held waiting on that very thread, the
// thread prepares and ends it itself, once it has waited its while.
TEST_F(AppExitLogTest, XlibFindingTheConnectionBrokenOnAnotherThreadEndsThroughThePreparedEnd) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto log = run(100);
    const auto printFirst = [this] { std::fprintf(stderr, "logged: %s\n", qPrintable(lines().first())); };
    const auto prepare = [] {
        std::fprintf(
            stderr, "prepared on %s\n",
            QThread::currentThread() == QCoreApplication::instance()->thread() ? "the main thread" : "another thread");
    };
    static const auto runLast = [] { std::fprintf(stderr, "exit went on\n"); };
    // As Xlib does: through the handler in place, which must not return.
    const auto xlibFindsItBroken = [] {
        const XIOErrorHandler installed = XSetIOErrorHandler(nullptr);
        XSetIOErrorHandler(installed);
        installed(nullptr);
    };
    EXPECT_EXIT(
        {
            // A thread that never ends the process fails the test instead of hanging it.
            ::alarm(30);
            std::atexit(runLast);
            AppExitWatch watch(
                *log, printFirst, [] { return false; }, prepare);
            std::thread(xlibFindsItBroken).detach();
            QEventLoop().exec();
        },
        ::testing::ExitedWithCode(1),
        "The connection to the X display  broke\nlogged: app.exit.display_lost: [^\n]*\nprepared on the main "
        "thread\n$");
    EXPECT_EXIT(
        {
            ::alarm(30);
            std::atexit(runLast);
            AppExitWatch watch(
                *log, printFirst, [] { return false; }, prepare);
            std::thread(xlibFindsItBroken).join();
        },
        ::testing::ExitedWithCode(1), "logged: app.exit.display_lost: [^\n]*\nprepared on another thread\n$");
}

}  // namespace
}  // namespace quorvelle
