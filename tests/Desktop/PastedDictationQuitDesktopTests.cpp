// The real executable quits (a logout's SIGTERM) while the paste of a dictation is being checked:
// the words are already in the user's field, so the history keeps them; the clipboard the user had
// before comes back first, so a clipboard manager keeps it, not the words.
#include "AppUnderTest.h"
#include "AppWindows.h"
#include "FakeBackendServer.h"
#include "FixtureApp.h"
#include "Platform/Linux/X11ClipboardOwnership.h"
#include "SelectionClient.h"
#include "Services/Storage/SettingsKeys.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"
#include "TestMicrophone.h"

#include <QClipboard>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QScopeGuard>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <future>
#include <memory>
#include <thread>

namespace quorvelle::test {
namespace {

const QStringList kHotkey{"Control_L", "Alt_L", "space"};
const QString kSingle = QStringLiteral("single");
const QString kWords = QStringLiteral("words pasted before the logout");
// Bounds for what a loaded machine may take; met in a second or two when it is idle.
constexpr int kLong = 30000;

// The signed-in app, whose words a chat application's field in front takes by the checked paste.
struct ChatDictation {
    struct SignedIn {
        SignedIn() { seedSignedInSession(); }
        ~SignedIn() { clearStoredSession(); }
        SignedIn(const SignedIn&) = delete;
        SignedIn& operator=(const SignedIn&) = delete;
    } signedIn;
    FakeBackendServer server;
    AppUnderTest app{serverAnswering(server)};
    TestMicrophone microphone;
    std::unique_ptr<FixtureApp> chat;

    static QUrl serverAnswering(FakeBackendServer& server) {
        answerTranscriptionsWith(server, kWords);
        server.respond("POST", QStringLiteral("/v1/internal/log-events"), FakeResponse::json(202, "{}"));
        return server.baseUrl();
    }
    void start() {
        app.defaults().setBool(QString::fromLatin1(SettingsKeys::clipboardFallbackEnabled), true);
        app.start();
        ASSERT_TRUE(app.waitUntilHotkeyRegistered(kLong)) << app.standardError().toStdString();
        QProcessEnvironment named = QProcessEnvironment::systemEnvironment();
        named.insert(QStringLiteral("RESOURCE_NAME"), QStringLiteral("slack"));
        chat = std::make_unique<FixtureApp>(FixtureApp::Toolkit::Qt, QStringLiteral("Chat"), named);
        chat->focus(kSingle);
        ASSERT_TRUE(bringToFront(chat->processId(), kLong));
    }
};

TEST(PastedDictationQuit, ASigtermAtTheFirstChangeOfThePastedFieldKeepsTheHistoryEntry) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    ASSERT_FALSE(TestMicrophone::speech().isEmpty()) << "espeak-ng and sox made no speech";
    ChatDictation rig;
    ASSERT_NO_FATAL_FAILURE(rig.start());
    AppUnderTest& app = rig.app;
    FixtureApp& chat = *rig.chat;
    TestMicrophone& microphone = rig.microphone;
    speakWithHotkeyDown(microphone, kHotkey);
    sendKeys(kHotkey, false);

    // The check of the paste takes at least its fixed wait from here.
    ASSERT_TRUE(waitUntil([&] { return !chat.texts().value(kSingle).toString().isEmpty(); }, kLong)) << app.eventLog();
    ASSERT_EQ(::kill(static_cast<pid_t>(app.processId()), SIGTERM), 0);
    ASSERT_TRUE(waitUntil([&] { return !app.isRunning(); }, kLong)) << "the app did not quit";
    EXPECT_EQ(chat.texts().value(kSingle).toString(), kWords);
    const auto history = app.historyEntries();
    ASSERT_EQ(history.size(), 1) << app.eventLog();
    EXPECT_EQ(history.first().transcript, kWords);
}

// The quit comes while the paste's words stand in for the user's clipboard: the app is stopped the
// moment it held the entry (the keys go right after) and told to quit, so the quit lands before the
// check's wait is over. A clipboard manager, asked at the end, keeps what the user had copied.
TEST(PastedDictationQuit, ASigtermInThePastesWaitGivesTheClipboardBackFirst) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    ASSERT_FALSE(TestMicrophone::speech().isEmpty()) << "espeak-ng and sox made no speech";
    ChatDictation rig;
    ASSERT_NO_FATAL_FAILURE(rig.start());
    AppUnderTest& app = rig.app;
    TestMicrophone& microphone = rig.microphone;
    // What the user copied before the dictation; this test's event loop serves it meanwhile.
    const QString users = QStringLiteral("the user's own copy");
    ASSERT_TRUE(X11ClipboardOwnership::refreshServerTime());
    QGuiApplication::clipboard()->setText(users, QClipboard::Clipboard);
    ASSERT_TRUE(X11ClipboardOwnership::ownsClipboard());
    SelectionClient manager;
    ASSERT_TRUE(manager.take("CLIPBOARD_MANAGER"));
    auto kept = std::async(std::launch::async, [&manager] { return manager.keepClipboardWhenAsked(2 * kLong); });

    // Stopped by a thread of its own the moment the entry is held, whatever this thread is doing: the
    // quit lands in the check's wait at any load.
    const auto pid = static_cast<pid_t>(app.processId());
    std::atomic<bool> over = false;
    auto stopped = std::async(std::launch::async, [&] {
        const QDeadlineTimer limit(kLong);
        while (!app.holdsAnEntry()) {
            if (over || limit.hasExpired()) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return ::kill(pid, SIGSTOP) == 0;
    });
    const auto stopWatching = qScopeGuard([&] { over = true; });
    speakWithHotkeyDown(microphone, kHotkey);
    sendKeys(kHotkey, false);
    // This thread's event loop answers the app's read of the user's clipboard meanwhile.
    waitUntil([&] { return stopped.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 2 * kLong);
    ASSERT_TRUE(stopped.get()) << app.eventLog();
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    ASSERT_EQ(::kill(pid, SIGCONT), 0);
    ASSERT_TRUE(waitUntil([&] { return !app.isRunning(); }, kLong)) << "the app did not quit";
    EXPECT_EQ(app.exitCode(), 0);
    // The quit came before the check's end: the entry is the one held while the words were on their way.
    const auto history = app.historyEntries();
    ASSERT_EQ(history.size(), 1) << app.eventLog();
    EXPECT_EQ(history.first().completionKind, TranscriptHistoryCompletionKind::pasteSentUnverified);
    EXPECT_EQ(kept.get(), users.toUtf8());
}

}  // namespace
}  // namespace quorvelle::test
