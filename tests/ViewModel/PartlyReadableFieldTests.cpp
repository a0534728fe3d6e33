// A field whose text reads only in part (a terminal's scrollback: the words may stand beyond what can be
// read) is read again, a step apart and a bounded number of times, while it shows no words; words that
// show count as pasted, and where they never do, the paste is told sent and the user's clipboard comes
// back. A field read whole with nothing readable is not read again: its words stay on the clipboard.
#include "ViewModel/ClipboardPasteDelivery.h"
#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

using Kind = TranscriptHistoryCompletionKind;

const ClipboardItemSnapshot kUsersClipboard{{{u"text/plain"_qs, QByteArray("the user's words")}}};
constexpr int kRereads = ClipboardPasteDelivery::kLateShowRereads;

// A paste into a field that reads whole or not; the check's reads answer `answers` in turn, then none.
struct PartlyReadableRig {
    DictationRig rig;

    PartlyReadableRig(bool whole, const QList<std::optional<bool>>& answers,
                      const std::function<void(FakeBootstrap&)>& adjust = {})
        : rig([&](FakeBootstrap& f, AppBootstrap&) {
              f.strategyResolver->strategy = TextInsertionStrategy::clipboardPaste;
              f.pasteboard->contents = {kUsersClipboard};
              f.textInserter->readsWhole = whole;
              // Words not shown: a text read in part cannot tell, one read whole had nothing to read.
              const PasteReadBack none = whole ? PasteReadBack::unreadable : PasteReadBack::untold;
              f.textInserter->verifyAnswer.setFallback(none);
              for (const std::optional<bool>& answer : answers)
                  f.textInserter->verifyAnswer.push(!answer   ? none
                                                    : *answer ? PasteReadBack::landed
                                                              : PasteReadBack::missing);
              if (adjust) adjust(f);
          }) {
        rig.dictate();
    }
    // Lets the check's waits pass, one turn at a time.
    void letTheCheckRun() {
        for (int turn = 0; turn < 2 * kRereads + 4; ++turn)
            rig.fakes.pasteVerificationSleeper.finishAll(), settle();
    }
    qsizetype reads() const { return rig.fakes.textInserter->verifiedTexts.size(); }
    // The waits between the reads, after the first wait for the field.
    QList<double> steps() const { return rig.fakes.pasteVerificationSleeper.requestedSeconds().mid(1); }
    void stop() { rig.session().applyRuntimeReadiness(false), settle(); }
};

QByteArray plainTextOf(const QList<ClipboardItemSnapshot>& contents) {
    return contents.value(0).representations.value(u"text/plain"_qs);
}
QList<double> stepsOf(int count) {
    return QList<double>(count, ClipboardPasteDelivery::kLateShowStepSeconds);
}

TEST(PartlyReadableField, IsReadAgainWhileItShowsNoWordsAndToldSentWithTheClipboardGivenBack) {
    const QList<std::optional<bool>> late{std::nullopt, std::nullopt, std::nullopt, true};
    PartlyReadableRig showsLate(false, late);
    showsLate.letTheCheckRun();
    EXPECT_EQ(showsLate.rig.session().lastInsertionOutcome(), Kind::pastedViaClipboard);
    EXPECT_EQ(showsLate.reads(), 4);
    EXPECT_EQ(showsLate.steps(), stepsOf(3));
    EXPECT_EQ(showsLate.rig.fakes.pasteboard->contents, QList{kUsersClipboard});

    // Never: the rereads end at their bound, the field is looked at once more where the focus is now.
    PartlyReadableRig never(false, {});
    never.letTheCheckRun();
    EXPECT_EQ(never.rig.session().lastInsertionOutcome(), Kind::pasteSentUnverified);
    EXPECT_EQ(never.rig.message(), u"Yapıştırma gönderildi."_qs);
    EXPECT_EQ(never.reads(), 1 + kRereads + 1);
    EXPECT_EQ(never.steps(), stepsOf(kRereads));
    EXPECT_EQ(never.rig.fakes.pasteboard->contents, QList{kUsersClipboard});
    ASSERT_EQ(never.rig.fakes.history->entries.size(), 1);
    EXPECT_EQ(never.rig.fakes.history->entries.first().completionKind, Kind::pasteSentUnverified);

    // Read whole, nothing to read: no reason to read again, and the words stay for the user to paste.
    PartlyReadableRig unreadable(true, {});
    unreadable.letTheCheckRun();
    EXPECT_EQ(unreadable.rig.session().lastInsertionOutcome(), Kind::pasteSentUnverified);
    EXPECT_EQ(unreadable.rig.message(), u"Yapıştırma gönderildi. Metin panoda tutuldu."_qs);
    EXPECT_EQ(unreadable.reads(), 2);
    EXPECT_TRUE(unreadable.steps().isEmpty());
    EXPECT_EQ(plainTextOf(unreadable.rig.fakes.pasteboard->contents), "hello world");
}

// The session is reset while the check of a field read in part still runs (between its reads, or while
// the focus is on its way back after the keys): what the keys did cannot be checked any more. No read
// follows the stop, and the words stay on the clipboard rather than the paste counting as sent there.
TEST(PartlyReadableField, AStopDuringItsCheckEndsTheReadsAndLeavesTheWordsOnTheClipboard) {
    PartlyReadableRig betweenReads(false, {});
    betweenReads.rig.fakes.pasteVerificationSleeper.finishAll(), settle();
    ASSERT_EQ(betweenReads.steps(), stepsOf(1));
    betweenReads.stop();
    betweenReads.letTheCheckRun();
    EXPECT_EQ(betweenReads.reads(), 1);
    EXPECT_EQ(plainTextOf(betweenReads.rig.fakes.pasteboard->contents), "hello world");

    PartlyReadableRig focusOnItsWay(false, {}, [](FakeBootstrap& f) {
        f.pastePerformer->afterKeys = [&f] {
            f.focusChanges->focusAway = true, f.focusChanges->moves.setHolding(true);
        };
    });
    focusOnItsWay.letTheCheckRun();
    ASSERT_EQ(focusOnItsWay.rig.fakes.focusChanges->moves.waitingCount(), 1);
    focusOnItsWay.stop();
    EXPECT_EQ(focusOnItsWay.reads(), 1 + kRereads);
    EXPECT_EQ(plainTextOf(focusOnItsWay.rig.fakes.pasteboard->contents), "hello world");
}

}  // namespace
}  // namespace quorvelle::test
