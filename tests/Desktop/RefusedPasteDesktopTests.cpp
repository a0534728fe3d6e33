// A chat application's field (its words go in by paste) refuses the paste, being full. Its text is read
// whole over the accessibility bus, so the words are known not to have landed: the dictation is told
// copied, not sent, and the clipboard keeps the words alone for the user to paste where they fit.
#include "FixtureApp.h"
#include "RealAppDictation.h"
#include "TestEventLoop.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using Kind = TranscriptHistoryCompletionKind;

class RefusedPasteDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
        dictation = std::make_unique<test::RealAppDictation>();
        ASSERT_TRUE(dictation->isReady());
    }

    std::unique_ptr<test::RealAppDictation> dictation;
};

TEST_F(RefusedPasteDesktop, APasteRefusedByAFieldReadWholeIsToldCopied) {
    test::FixtureApp chat(test::FixtureApp::Toolkit::Qt, u"Chat"_qs, test::FixtureApp::namedAsChatApplication());
    ASSERT_TRUE(test::xdotool({u"search"_qs, u"--name"_qs, u"^Chat$"_qs, u"windowactivate"_qs, u"--sync"_qs}));
    const QString single = u"single"_qs;
    // A line edit takes 32767 characters at most. The caret at its end, after a word, gets a space
    // before the words; right after its space, none.
    const QString full = QString(32765, u'x') + u" x"_qs;
    for (const std::optional<int> caret : {std::optional<int>(), std::optional<int>(int(full.size()) - 1)}) {
        const QString words = caret ? u"refused words, no space before"_qs : u"refused words, a space before"_qs;
        SCOPED_TRACE(words.toStdString());
        chat.setText(single, full);
        chat.focus(single);
        if (caret) chat.select(single, *caret, 0);
        ASSERT_TRUE(test::waitUntil([&] { return dictation->focusedTextTarget().has_value(); }));

        EXPECT_EQ(dictation->dictate(words), Kind::copiedToClipboard);
        EXPECT_EQ(dictation->vm->inlineMessage().value_or(u"-"_qs).toStdString(),
                  "Yapıştırma doğrulanamadı. Metin panoya kopyalandı.");
        EXPECT_EQ(chat.texts().value(single).toString(), full);
        const auto& entries = dictation->fakes.history->entries;
        ASSERT_FALSE(entries.isEmpty());
        EXPECT_EQ(entries.first().transcript, words);
        EXPECT_EQ(entries.first().completionKind, Kind::copiedToClipboard);
        EXPECT_EQ(QGuiApplication::clipboard()->text(QClipboard::Clipboard).toStdString(), words.toStdString());
    }
}

}  // namespace
}  // namespace quorvelle
