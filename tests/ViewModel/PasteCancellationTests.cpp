// A session ended while its paste still waits (for the modifiers to come up, for the typing to stop,
// for the focus to move after a key): no key goes out, the user's clipboard comes back and nothing of
// the words stays in the history.
#include "HeldCalls.h"
#include "ViewModelTestSupport.h"

#include <QTimer>

namespace quorvelle::test {
namespace {

const ClipboardItemSnapshot kUsersClipboard{{{u"text/plain"_qs, QByteArray("the user's words")}}};

// Waits where the real one does: before its last look (the modifiers, the typing) and, where a test
// holds it, after a look that let the keys go.
class WaitingPastePerformer final : public SyntheticPastePerforming {
public:
    HeldCalls beforeLook, afterLook;
    // A key comes while the look runs (this runs as it comes): the look is called again, told so.
    std::function<void()> keyDuringLook;
    int keysSent = 0;

    QCoro::Task<void> performPaste(FocusedTargetSnapshot, LastLook lastLook, std::stop_token stopToken) override {
        co_await beforeLook.pass(stopToken);
        if (lastLook) lastLook(std::nullopt);
        if (lastLook && keyDuringLook) {
            keyDuringLook();
            lastLook(std::chrono::milliseconds(0));
        }
        co_await afterLook.pass(stopToken);
        ++keysSent;
    }
};

struct CancelledPasteRig {
    std::shared_ptr<WaitingPastePerformer> performer = std::make_shared<WaitingPastePerformer>();
    DictationRig rig;

    explicit CancelledPasteRig(const std::function<void(FakeBootstrap&)>& adjust)
        : rig([&](FakeBootstrap& fakes, AppBootstrap& services) {
              fakes.strategyResolver->strategy = TextInsertionStrategy::clipboardPaste;
              fakes.pasteboard->contents = {kUsersClipboard};
              services.syntheticPastePerformer = performer;
              adjust(fakes);
          }) {}

    // Dictates; the paste is left waiting where the test held it.
    void dictate() {
        rig.dictate();
        ASSERT_EQ(rig.state().kind(), SessionState::Kind::injecting);
        ASSERT_EQ(rig.fakes.pasteboard->calls.filter(u"writeString"_qs).size(), 1);
    }
    void cancel() {
        rig.session().applyRuntimeReadiness(false);
        settle();
    }
    void expectNothingLeft(const char* label) {
        const FakeTranscriptHistoryStore& history = *rig.fakes.history;
        EXPECT_EQ(rig.state(), SessionState::idle()) << label;
        EXPECT_EQ(performer->keysSent, 0) << label;
        EXPECT_EQ(rig.fakes.pasteboard->contents, QList{kUsersClipboard}) << label;
        EXPECT_TRUE(history.entries.isEmpty()) << label;
        QList<QUuid> held;
        for (const TranscriptHistoryEntry& entry : history.held)
            held.append(entry.id);
        EXPECT_EQ(history.withdrawn, held) << label;
    }
};

TEST(PasteCancellation, ASessionEndedWhileThePasteWaitsGivesTheClipboardBackAndKeepsNothing) {
    // Waiting for the modifiers or the typing, before any look.
    CancelledPasteRig beforeLook([](FakeBootstrap&) {});
    beforeLook.performer->beforeLook.setHolding(true);
    beforeLook.dictate();
    ASSERT_EQ(beforeLook.performer->beforeLook.waitingCount(), 1);
    EXPECT_TRUE(beforeLook.rig.fakes.history->held.isEmpty());
    beforeLook.cancel();
    beforeLook.expectNothingLeft("before the look");

    // The look let the keys go and the history holds the words; the keys have not gone yet.
    CancelledPasteRig afterLook([](FakeBootstrap&) {});
    afterLook.performer->afterLook.setHolding(true);
    afterLook.dictate();
    ASSERT_EQ(afterLook.performer->afterLook.waitingCount(), 1);
    ASSERT_EQ(afterLook.rig.fakes.history->held.size(), 1);
    afterLook.cancel();
    afterLook.expectNothingLeft("after the look");
    EXPECT_EQ(afterLook.rig.fakes.history->withdrawn.size(), 1);
}

// A key overtook the look, which had held the entry: the keys wait for the focus to move, and the
// session ends meanwhile.
TEST(PasteCancellation, ASessionEndedWhileThePasteWaitsForTheFocusAfterAKeyGivesTheClipboardBack) {
    CancelledPasteRig rig([](FakeBootstrap&) {});
    rig.performer->keyDuringLook = [&rig] { rig.rig.fakes.focusChanges->moves.setHolding(true); };
    rig.dictate();
    ASSERT_EQ(rig.rig.fakes.focusChanges->moves.waitingCount(), 1);
    ASSERT_EQ(rig.rig.fakes.history->held.size(), 1);
    rig.cancel();
    rig.expectNothingLeft("waiting for the focus");
}

// The application's event loop ends as a quit (a logout's SIGTERM) ends it.
void quitTheApplication() {
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
}

// The application quits while the paste's words are on the clipboard in the user's place (the keys on
// their way, or sent with the check waiting): the user's clipboard comes back before the end, as the
// words' claim ends with the process. Once the paste has its outcome, a quit leaves the clipboard as
// that outcome left it.
TEST(PasteCancellation, AQuitWhileThePastesWordsAreServedGivesTheClipboardBackFirst) {
    for (const bool keysSent : {false, true}) {
        const char* label = keysSent ? "the check waiting" : "the keys waiting";
        CancelledPasteRig rig([](FakeBootstrap&) {});
        if (!keysSent) rig.performer->afterLook.setHolding(true);
        rig.dictate();
        ASSERT_EQ(rig.performer->keysSent, keysSent ? 1 : 0) << label;
        ASSERT_NE(rig.rig.fakes.pasteboard->contents, QList{kUsersClipboard}) << label;
        quitTheApplication();
        EXPECT_EQ(rig.rig.fakes.pasteboard->contents, QList{kUsersClipboard}) << label;
        // Keys on their way ask for the words: the application is given its time to ask before the
        // user's clipboard takes their place.
        const QStringList calls = rig.rig.fakes.pasteboard->calls;
        const qsizetype awaited =
            calls.lastIndexOf(u"awaitFetchBeforeTheEnd(%1)"_qs.arg(ClipboardPasteDelivery::kFetchLimitSeconds));
        EXPECT_GE(awaited, 0) << label;
        EXPECT_GT(calls.lastIndexOf(u"restore(1)"_qs), awaited) << label;
    }

    // The words' check could not be made: they stay on the clipboard, through a quit too.
    CancelledPasteRig unverified(
        [](FakeBootstrap& fakes) { fakes.textInserter->verifyAnswer.setFallback(PasteReadBack::unreadable); });
    unverified.dictate();
    unverified.rig.fakes.pasteVerificationSleeper.finishAll();
    ASSERT_EQ(unverified.rig.state(), SessionState::success());
    const QList<ClipboardItemSnapshot> words = unverified.rig.fakes.pasteboard->contents;
    ASSERT_NE(words, QList{kUsersClipboard});
    quitTheApplication();
    EXPECT_EQ(unverified.rig.fakes.pasteboard->contents, words);

    // The view model goes (the end of the process) while the check waits.
    CancelledPasteRig ended([](FakeBootstrap&) {});
    ended.dictate();
    const std::shared_ptr<FakePasteboardWriter> clipboard = ended.rig.fakes.pasteboard;
    ended.rig.vm.reset();
    EXPECT_EQ(clipboard->contents, QList{kUsersClipboard});
}

}  // namespace
}  // namespace quorvelle::test
