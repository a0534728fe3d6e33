// A real-application test killed by its time-out fails only itself: the next one finds the desktop as
// every test does. ctest takes down a killed test's processes but cannot let go of the keys it held;
// a test killed by other means (the kernel, a deadline of its own) also leaves its programs running.
#include "CleanDesktop.h"
#include "DesktopInput.h"
#include "Platform/Linux/LibsecretItemStore.h"
#include "RealAppDictation.h"
#include "Services/Backend/KeychainBackendTokenStore.h"
#include "TestEventLoop.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace quorvelle {
namespace {

using Kind = TranscriptHistoryCompletionKind;
using test::RealApp;

// The process showing a window whose title matches, if one shows.
qint64 windowProcess(const QString& titlePattern) {
    QProcess xdotool;
    xdotool.start(u"xdotool"_qs, {u"search"_qs, u"--name"_qs, titlePattern, u"getwindowpid"_qs});
    if (!xdotool.waitForFinished(30000) || xdotool.exitCode() != 0) return 0;
    return QString::fromUtf8(xdotool.readAllStandardOutput()).section(u'\n', 0, 0).trimmed().toLongLong();
}

bool isRunning(qint64 pid) {
    QFile stat(u"/proc/%1/stat"_qs.arg(pid));
    return pid > 0 && stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z ");
}

// Killed here as a test whose own process alone goes (its browser outlives it), the harder case: the
// hot key stays down and Firefox stays open on the very page the next test opens.
TEST(CleanDesktop, ARealApplicationTestKilledMidDictationFailsOnlyItself) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    QProcess killed;
    killed.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    killed.start(QStringLiteral(QUORVELLE_DICTATION_TO_KILL_PATH));
    // Firefox starts slowly under load.
    ASSERT_TRUE(
        test::waitUntil([&] { return killed.canReadLine() || killed.state() == QProcess::NotRunning; }, 240000));
    ASSERT_EQ(killed.readLine().trimmed(), "recording") << "the dictation to kill ended with " << killed.exitCode();
    const qint64 browser = windowProcess(u"Mozilla Firefox$"_qs);
    ::kill(pid_t(killed.processId()), SIGKILL);
    ASSERT_TRUE(killed.waitForFinished(30000));
    ASSERT_TRUE(test::isKeyDown("Control_L") && test::isKeyDown("Return")) << "nothing was left held";
    ASSERT_TRUE(isRunning(browser)) << "the killed test's browser went with it";

    // The next test starts as every desktop test program does.
    EXPECT_EQ(test::startFromCleanDesktop(), QStringList());
    for (const char* key : {"Control_L", "Alt_L", "Return"})
        EXPECT_FALSE(test::isKeyDown(key)) << key;
    EXPECT_FALSE(isRunning(browser));
    EXPECT_EQ(windowProcess(u"Mozilla Firefox$"_qs), 0);

    test::RealAppDictation dictation;
    ASSERT_TRUE(dictation.isReady());
    const auto firefox = RealApp::firefox(dictation.folder.path());
    ASSERT_TRUE(firefox) << "Firefox never showed the page";
    ASSERT_FALSE(dictation.focusedTextElement().isEmpty());
    EXPECT_EQ(dictation.dictate(u"hello world"_qs), Kind::pastedViaClipboard);
    EXPECT_TRUE(RealApp::waitForTitle(u"^area:hello world —"_qs, 10000));
    // Into this test's browser, not the one the killed test left on the same page.
    EXPECT_NE(windowProcess(u"^area:hello world —"_qs), browser);
}

// A program the session bus started for a test (GNOME Terminal's server) is no test's child and lives
// on after it: its window, left open, is closed before the next test.
TEST(CleanDesktop, AWindowOfAProgramTheSessionBusStartedIsClosed) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    QTemporaryDir folder;
    QFile note(folder.filePath(u"bus-started.txt"_qs));
    ASSERT_TRUE(note.open(QIODevice::WriteOnly) && note.write("left open") > 0);
    note.close();
    // Started with the environment the desktop's session bus gives the programs it starts.
    QProcess editor;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"QUORVELLE_DESKTOP_TEST_PROCESS"_qs);
    environment.insert(u"QUORVELLE_DESKTOP_ENV_MARK"_qs, qEnvironmentVariable("QUORVELLE_DESKTOP_ENV_DIR"));
    editor.setProcessEnvironment(environment);
    editor.start(u"gnome-text-editor"_qs, {u"--standalone"_qs, note.fileName()});
    // Shown and in front: a window the window manager manages, as a test's window is when it ends.
    const auto shown = [] {
        QProcess xdotool;
        xdotool.start(u"xdotool"_qs, {u"search"_qs, u"--onlyvisible"_qs, u"--name"_qs, u"^bus-started.txt"_qs,
                                      u"windowactivate"_qs, u"--sync"_qs});
        return xdotool.waitForFinished(30000) && xdotool.exitCode() == 0;
    };
    ASSERT_TRUE(test::waitUntil(shown, 90000)) << "the editor never showed";

    const qint64 tray = windowProcess(u"^panel$"_qs);
    ASSERT_NE(tray, 0) << "the desktop's tray shows no window";
    EXPECT_EQ(test::startFromCleanDesktop(), QStringList());
    EXPECT_EQ(windowProcess(u"^bus-started.txt"_qs), 0);
    EXPECT_TRUE(editor.waitForFinished(10000));
    // The desktop's own programs carry the same mark and show windows too: they stay.
    EXPECT_TRUE(isRunning(tray));
    EXPECT_EQ(windowProcess(u"^panel$"_qs), tray);
}

// A test killed while signed in leaves its session in the desktop's keyring: the next starts signed out.
TEST(CleanDesktop, ASessionLeftInTheKeyringIsCleared) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    // A store of its own for each look: one keeps the values it read.
    const auto keyring = [] { return KeychainBackendTokenStore::standard(std::make_shared<LibsecretItemStore>()); };
    keyring().saveAccessToken(u"left by a killed test"_qs);
    ASSERT_TRUE(keyring().accessToken().has_value());

    EXPECT_EQ(test::startFromCleanDesktop(), QStringList());
    EXPECT_FALSE(keyring().accessToken().has_value());
}

}  // namespace
}  // namespace quorvelle
