// The words went onto the clipboard for a paste whose keys never went out (held back at the last look,
// no key events, another application in front), and another application copied right after them: what
// it copied stays, nothing of ours is written over it (with or without a space put before the words
// for the paste), and the words are kept in the history, never told copied.
#include "Services/Delivery/SyntheticPasteError.h"
#include "Services/Delivery/TextInsertionError.h"
#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

using P = SyntheticPasteError::Case;
using T = TextInsertionError::Case;

const ClipboardItemSnapshot kTheirs{{{u"text/plain"_qs, QByteArray("their copy")}}};

struct Road {
    const char* label;
    std::function<void(FakeBootstrap&)> adjust;
    const char* event;
};

TEST(CopyMadeMeanwhile, StaysOnEveryRoadWhereThePastesKeysNeverWentOut) {
    const auto pasteFails = [](P errorCase) {
        return [errorCase](FakeBootstrap& f) { f.pastePerformer->outcome.pushFailure(SyntheticPasteError(errorCase)); };
    };
    const auto thenWriteFails = [pasteFails](T errorCase) {
        return [=](FakeBootstrap& f) {
            pasteFails(P::eventSourceUnavailable)(f);
            f.textInserter->insertAnswer.pushFailure(TextInsertionError(errorCase));
        };
    };
    const Road roads[] = {
        {"another field at the last look",
         [](FakeBootstrap& f) {
             f.pastePerformer->beforeLastLook = [&f] {
                 FocusedTargetSnapshot other = writableTextField();
                 other.element.identifier = u"subject-field"_qs;
                 other.element.frame = QRectF(100, 400, 400, 30);
                 f.inspector->answer.setFallback(other);
             };
         },
         "runtime.fallback.target_surface_changed"},
        {"another application in front", pasteFails(P::frontmostApplicationChanged),
         "runtime.fallback.frontmost_application_changed"},
        {"no key events after a failed direct write",
         [pasteFails](FakeBootstrap& f) {
             f.strategyResolver->strategy = TextInsertionStrategy::accessibilityValueWrite;
             f.textInserter->insertAnswer.pushFailure(TextInsertionError(T::writeFailed));
             pasteFails(P::eventSourceUnavailable)(f);
         },
         "runtime.fallback.clipboard_paste_failed"},
        {"no key events, then the direct write fails", thenWriteFails(T::writeFailed),
         "runtime.fallback.clipboard_copied"},
        {"no key events, then the direct write finds other text", thenWriteFails(T::replacementHintMismatch),
         "runtime.fallback.replacement_hint_mismatch"},
    };
    for (const Road& road : roads) {
        for (const QString& prefix : {QString(), u" "_qs}) {
            SCOPED_TRACE(std::string(road.label) + (prefix.isEmpty() ? "" : ", a space before the words"));
            DictationRig rig([&](FakeBootstrap& f, AppBootstrap&) {
                f.strategyResolver->strategy = TextInsertionStrategy::clipboardPaste;
                f.pasteboard->copyAfterWrite = kTheirs;
                f.textInserter->pastePrefix = prefix;
                road.adjust(f);
            });
            rig.dictate();
            const QuorvelleError noField(QuorvelleErrorCase::unsupportedTarget);
            EXPECT_EQ(rig.state(), SessionState::error(noField));
            EXPECT_EQ(rig.message(), rig.vm->strings().errorMessage(noField));
            EXPECT_TRUE(rig.fakes.pastePerformer->pastedInto.isEmpty());
            EXPECT_EQ(rig.codes().value(0), QLatin1String(road.event));
            ASSERT_EQ(rig.fakes.history->entries.size(), 1);
            EXPECT_EQ(rig.fakes.history->entries.first().completionKind,
                      TranscriptHistoryCompletionKind::copiedToClipboard);
            EXPECT_EQ(rig.fakes.pasteboard->contents, QList{kTheirs});
        }
    }
}

}  // namespace
}  // namespace quorvelle::test
