// The real executable quits (a logout's SIGTERM) while the paste of a dictation is being checked:
// the words are already in the user's field, so the history keeps them; the clipboard the user had
// before comes back first, so a clipboard manager keeps it, not the words. A quit right as the paste's
// keys go out never lets the field take that earlier clipboard in place of the words.
#include "AppUnderTest.h"
#include "AppWindows.h"
#include "BusyProcessors.h"
#include "FixtureApp.h"
#include "HeldEntryWatch.h"
#include "SelectionClient.h"
#include "SignedInDictation.h"
#include "TestEventLoop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <future>
#include <memory>
#include <utility>

namespace quorvelle::test {
namespace {

const QString kSingle = QStringLiteral("single");
const QString kWords = QStringLiteral("words pasted before the logout");
// Bounds for what a loaded machine may take; met in a second or two when it is idle.
constexpr int kLong = 30000;

// A chat application's field in front, which takes the words by the checked paste.
std::unique_ptr<FixtureApp> chatInFront() {
    QProcessEnvironment named = QProcessEnvironment::systemEnvironment();
    named.insert(QStringLiteral("RESOURCE_NAME"), QStringLiteral("slack"));
    auto chat = std::make_unique<FixtureApp>(FixtureApp::Toolkit::Qt, QStringLiteral("Chat"), named);
    chat->focus(kSingle);
    return bringToFront(chat->processId(), kLong) ? std::move(chat) : nullptr;
}

// The signed-in app, whose words the chat field takes.
struct ChatDictation {
    SignedInDictation dictation{kWords};
    AppUnderTest& app = dictation.app;
    TestMicrophone& microphone = dictation.microphone;
    std::unique_ptr<FixtureApp> chat;

    void start() {
        ASSERT_TRUE(dictation.start()) << app.standardError().toStdString();
        chat = chatInFront();
        ASSERT_TRUE(chat) << "the chat window never came to the front";
    }
};

TEST(PastedDictationQuit, ASigtermAtTheFirstChangeOfThePastedFieldKeepsTheHistoryEntry) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    ASSERT_FALSE(TestMicrophone::speech().isEmpty()) << "espeak-ng and sox made no speech";
    ChatDictation rig;
    ASSERT_NO_FATAL_FAILURE(rig.start());
    AppUnderTest& app = rig.app;
    FixtureApp& chat = *rig.chat;
    rig.dictation.dictate();

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
    // What the user copied before the dictation; this test's event loop serves it meanwhile.
    const QString users = QStringLiteral("the user's own copy");
    ASSERT_TRUE(copyAsTheUser(users));
    SelectionClient manager;
    ASSERT_TRUE(manager.take("CLIPBOARD_MANAGER"));
    auto kept = std::async(std::launch::async, [&manager] { return manager.keepClipboardWhenAsked(2 * kLong); });

    // Stopped by a thread of its own the moment the entry is held, whatever this thread is doing: the
    // quit lands in the check's wait at any load.
    const auto pid = static_cast<pid_t>(app.processId());
    const HeldEntryWatch stopped(app.historyFolder(), [pid] { ::kill(pid, SIGSTOP); });
    ASSERT_TRUE(stopped.isWatching());
    rig.dictation.dictate();
    // This thread's event loop answers the app's read of the user's clipboard meanwhile.
    ASSERT_TRUE(waitUntil([&] { return stopped.sawHold(); }, 2 * kLong)) << app.eventLog();
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

// A quit (a logout's SIGTERM) 0 to 3 ms after the app held the entry, right as the paste's keys go
// out, with every processor busy: the chat field then takes the words or nothing, never what the user
// had copied before, which the app puts back over the words as it quits. Twenty rounds without a
// clipboard manager and twenty with one, which must keep the user's copy. Each round starts the app.
TEST(PastedDictationQuit, ASigtermRightAfterThePasteKeysNeverPastesTheEarlierClipboard) {
    if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    ASSERT_FALSE(TestMicrophone::speech().isEmpty()) << "espeak-ng and sox made no speech";
    SignedInDictation dictation(kWords);
    AppUnderTest& app = dictation.app;
    const std::unique_ptr<FixtureApp> chat = chatInFront();
    ASSERT_TRUE(chat) << "the chat window never came to the front";
    const BusyProcessors busy;
    constexpr int kRounds = 20;
    constexpr int kLatestMicroseconds = 3000;
    // A press the busy app could not place (the fixture too slow to answer) pastes nothing: the round
    // is dictated again, a few times in all.
    int unplaced = 0, earlier = 0, landed = 0;
    for (const bool withManager : {false, true}) {
        for (int round = 0; round < kRounds; ++round) {
            const auto after = std::chrono::microseconds(kLatestMicroseconds * round / (kRounds - 1));
            SCOPED_TRACE(testing::Message() << (withManager ? "with" : "without") << " a clipboard manager, SIGTERM "
                                            << after.count() << " us after the hold");
            const QString words = QStringLiteral("quit round %1 words").arg(round);
            const QString users = QStringLiteral("copied before round %1").arg(round);
            dictation.answerWith(words);
            chat->setText(kSingle, {});
            chat->focus(kSingle);
            ASSERT_TRUE(dictation.start()) << app.standardError().toStdString();
            ASSERT_TRUE(bringToFront(chat->processId(), kLong));
            ASSERT_TRUE(copyAsTheUser(users));
            SelectionClient manager;
            std::future<std::optional<QByteArray>> kept;
            if (withManager) {
                ASSERT_TRUE(manager.take("CLIPBOARD_MANAGER"));
                kept = std::async(std::launch::async, [&manager] { return manager.keepClipboardWhenAsked(kLong); });
            }
            // From a thread of its own, at the set time after the hold, whatever this thread is doing.
            const auto pid = static_cast<pid_t>(app.processId());
            const HeldEntryWatch quit(app.historyFolder(), [pid, after] {
                const auto at = std::chrono::steady_clock::now() + after;
                while (std::chrono::steady_clock::now() < at) {
                }
                ::kill(pid, SIGTERM);
            });
            ASSERT_TRUE(quit.isWatching());
            dictation.dictate();
            // This thread's event loop answers the app's read of the user's clipboard meanwhile.
            if (!waitUntil([&] { return !app.isRunning(); }, kLong) && !quit.sawHold()) {
                app.stop();
                ASSERT_LT(++unplaced, 5) << "presses that pasted nothing: " << app.eventLog();
                --round;
                continue;
            }
            ASSERT_FALSE(app.isRunning()) << "the app did not quit";
            // A paste the app answered before its end shows a moment later: the field is read until
            // it held still for 300 ms (the fixture answers once it handled the paste).
            QString field = chat->texts().value(kSingle).toString();
            for (int look = 0; look < 10; ++look) {
                waitUntil([] { return false; }, 300);
                const QString now = chat->texts().value(kSingle).toString();
                if (std::exchange(field, now) == now) break;
            }
            earlier += field.contains(users);
            landed += field == words;
            EXPECT_TRUE(field.isEmpty() || field == words) << "the field holds \"" << field.toStdString() << '"';
            if (withManager) {
                EXPECT_EQ(kept.get(), users.toUtf8()) << "what the clipboard manager kept";
            }
        }
    }
    std::printf("%d of %d fields took the earlier clipboard, %d the words, %d presses dictated again; load %s\n",
                earlier, 2 * kRounds, landed, unplaced, loadAverage().constData());
}

}  // namespace
}  // namespace quorvelle::test
