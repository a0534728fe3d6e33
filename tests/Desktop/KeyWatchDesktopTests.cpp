// The real executable stays asleep while the user types into another application: its watch for key
// presses listens only while a dictation is under way. Counted as the context switches of the app's
// main thread while keys go into a Qt window in front, beside the same length of time with no keys, so
// that the app's own timers count on both sides: before any dictation, and after one has ended.
#include "AppUnderTest.h"
#include "AppWindows.h"
#include "FakeBackendServer.h"
#include "FixtureApp.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"
#include "TestMicrophone.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <iostream>

namespace quorvelle::test {
namespace {

constexpr int kLong = 30000;
const QStringList kHotkey{"Control_L", "Alt_L", "space"};
const QString kSingle = QStringLiteral("single");
const QString kWords = QStringLiteral("words before the typing");
constexpr int kKeys = 300;
constexpr int kPeriodMs = 3000;
// Room for a timer or a repaint that happens to fall into one period only; a watch left on wakes the
// app once or more for each of the 300 presses.
constexpr long long kMarginWakeUps = 20;

// Voluntary and involuntary context switches of the thread: each time it went to sleep or was put
// aside. The main thread's id is the process's.
long long mainThreadSwitches(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/task/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    long long total = 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("voluntary_ctxt_switches:") || line.startsWith("nonvoluntary_ctxt_switches:"))
            total += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
    return total;
}

struct WakeUps {
    long long idle = 0;
    long long typing = 0;
};

class KeyWatchDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
        seedSignedInSession();
        answerTranscriptionsWith(server, kWords);
        app.start();
        ASSERT_TRUE(app.waitUntilHotkeyRegistered(kLong)) << app.standardError().toStdString();
        fixture = std::make_unique<FixtureApp>(FixtureApp::Toolkit::Qt, QStringLiteral("Notes"));
        fixture->focus(kSingle);
        ASSERT_TRUE(bringToFront(fixture->processId(), kLong));
    }
    void TearDown() override { clearStoredSession(); }

    // The app's wake-ups over kPeriodMs with no keys, then over as long with kKeys typed into the
    // fixture's field at an even pace; the keys are checked to have arrived there. A timer of the app's
    // own may fire once in the typing period: it is counted again, up to three times, while typing
    // wakes the app more than the idle period did; a watch left on wakes it on every attempt.
    WakeUps countWhileTyping(const char* when) {
        WakeUps counted;
        for (int attempt = 0; attempt < 3; ++attempt) {
            counted = countOnce();
            std::cout << when << ": idle " << counted.idle << ", typing " << counted.typing
                      << " main-thread wake-ups for " << kKeys << " keys" << std::endl;
            if (counted.typing <= counted.idle + kMarginWakeUps) break;
        }
        return counted;
    }

    WakeUps countOnce() {
        const qint64 pid = app.processId();
        EXPECT_TRUE(waitUntilSettled(pid, 1000, kLong)) << "the app kept busy";
        fixture->setText(kSingle, QString());
        long long before = mainThreadSwitches(pid);
        QThread::msleep(kPeriodMs);
        WakeUps counted;
        counted.idle = mainThreadSwitches(pid) - before;
        before = mainThreadSwitches(pid);
        QElapsedTimer elapsed;
        elapsed.start();
        for (int key = 0; key < kKeys; ++key) {
            sendKeys({"a"}, true);
            sendKeys({"a"}, false);
            const qint64 due = qint64(key + 1) * kPeriodMs / kKeys;
            if (elapsed.elapsed() < due) QThread::msleep(quint64(due - elapsed.elapsed()));
        }
        counted.typing = mainThreadSwitches(pid) - before;
        EXPECT_TRUE(
            waitUntil([&] { return fixture->texts().value(kSingle).toString() == QString(kKeys, u'a'); }, kLong))
            << "the keys did not all reach the other window: " << fixture->texts().value(kSingle).toString().size();
        return counted;
    }

    FakeBackendServer server;
    AppUnderTest app{server.baseUrl()};
    std::unique_ptr<FixtureApp> fixture;
    TestMicrophone microphone;
};

TEST_F(KeyWatchDesktop, KeysTypedElsewhereWakeTheAppNeitherBeforeNorAfterADictation) {
    const WakeUps beforeAnyDictation = countWhileTyping("before any dictation");
    EXPECT_LE(beforeAnyDictation.typing, beforeAnyDictation.idle + kMarginWakeUps);

    // A dictation turns the watch on at its press; once its words landed the session is over.
    fixture->setText(kSingle, QString());
    speakWithHotkeyDown(microphone, kHotkey);
    sendKeys(kHotkey, false);
    ASSERT_TRUE(waitUntil([&] { return fixture->texts().value(kSingle).toString() == kWords; }, kLong))
        << fixture->texts().value(kSingle).toString().toStdString() << "\n"
        << app.eventLog();
    const WakeUps afterADictation = countWhileTyping("after a dictation");
    EXPECT_LE(afterADictation.typing, afterADictation.idle + kMarginWakeUps);
}

}  // namespace
}  // namespace quorvelle::test
