// GNOME Terminal shows its screen to the accessibility bus, and the screen is all a paste is checked
// by: vim draws it itself (its ruler, the `~` row that a line wrapping takes), and a line longer than
// the screen begins above it. Every dictation that landed there is told pasted or sent, never copied,
// and the user's copy comes back.
#include "GnomeTerminalServer.h"
#include "RealAppFileTest.h"

#include <QStandardPaths>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using Kind = TranscriptHistoryCompletionKind;
using test::GnomeTerminalServer;
using test::RealApp;

// Each test in a GNOME Terminal window of a server of its own.
class TerminalScreen : public test::RealAppFileTest {
protected:
    void SetUp() override {
        RealAppFileTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        if (!GnomeTerminalServer::isInstalled())
            GTEST_SKIP() << "GNOME Terminal is not installed (scripts/install-deps installs it)";
    }
    // A window titled `title` running `script` under sh, its terminal focused; false when it never
    // showed or never told the accessibility bus of its focus. Any window opened before goes first.
    bool open(const QString& title, const QString& script) {
        m_terminal.reset();
        m_server = std::make_unique<GnomeTerminalServer>();
        m_terminal = m_server->open(title, script);
        return m_terminal && !dictation->focusedTextElement().isEmpty();
    }

private:
    std::unique_ptr<GnomeTerminalServer> m_server;
    std::unique_ptr<RealApp> m_terminal;
};

// Told pasted, or (`mayBeSent`) sent with nothing said of the clipboard, which does not hold the words;
// the history says the same, and the user's copy is back.
void expectPastedOrSent(const test::RealAppDictation::Told& told, const QString& usersCopy, const std::string& label,
                        bool mayBeSent = true) {
    if (mayBeSent && told.kind == Kind::pasteSentUnverified) {
        EXPECT_EQ(told.message, u"Yapıştırma gönderildi."_qs) << label;
    } else {
        EXPECT_EQ(told.kind, Kind::pastedViaClipboard) << label << " (" << told.message.toStdString() << ")";
        EXPECT_EQ(told.message, u"Metin yapıştırıldı."_qs) << label;
    }
    EXPECT_EQ(told.entry, told.kind) << label;
    EXPECT_EQ(told.clipboard.toStdString(), usersCopy.toStdString()) << label;
}

// A fresh vim in insert mode on an empty file, as Debian starts it without a vimrc of the user's (its
// defaults draw the ruler anew at each dictation) and bare (nothing but the words changes, until a
// line wraps). The third dictation makes the line 83 characters long on an 80-column row: vim's line
// takes the `~` row below it. vim saves what it was given.
TEST_F(TerminalScreen, VimInGnomeTerminalTellsEachDictationPastedOrSent) {
    if (QStandardPaths::findExecutable(u"vim"_qs).isEmpty())
        GTEST_SKIP() << "vim is not installed (scripts/install-deps installs it)";
    const QStringList words{u"Hello, world."_qs, u"Second sentence here."_qs,
                            u"And a third one that wraps the line inside vim."_qs};
    // Each dictation after the first gets a space before it.
    ASSERT_EQ(words.join(u' ').size(), 83);
    for (const QString& options : {u"--clean"_qs, u"-u NONE -N"_qs}) {
        SCOPED_TRACE(options.toStdString());
        const QString file = u"note%1.txt"_qs.arg(options.size());
        ASSERT_TRUE(open(u"qvvim"_qs, u"exec vim "_qs + options + u" -c startinsert '"_qs + path(file) + u'\''))
            << "GNOME Terminal never showed its terminal focused";
        for (qsizetype round = 0; round < words.size(); ++round) {
            const QString& said = words.at(round);
            const QString users = u"the user's copy %1"_qs.arg(round);
            expectPastedOrSent(dictation->dictateOverTheUsersCopy(said, users, round == 1), users, said.toStdString());
        }
        ASSERT_TRUE(RealApp::pressKeys(u"Escape"_qs));
        ASSERT_TRUE(test::xdotool({u"type"_qs, u":wq\n"_qs}));
        EXPECT_EQ(waitForFileContaining(file, u"\n"_qs).toStdString(), (words.join(u' ') + u'\n').toStdString());
    }
}

// 200 lines of output, then one line read by the shell, each dictation 195 characters long. The ninth
// fills 23 of the screen's 24 rows; from the tenth on the line begins above the screen. Those whose line
// still begins on it are told pasted; none is told copied.
TEST_F(TerminalScreen, GnomeTerminalTellsDictationsIntoALineLongerThanTheScreenPastedOrSent) {
    ASSERT_TRUE(open(u"qvlongline"_qs, u"seq 1 200; exec cat > '"_qs + path(u"line.txt"_qs) + u'\''))
        << "GNOME Terminal never showed its terminal focused";
    QStringList spoken;
    for (int round = 1; round <= 12; ++round) {
        QString words = u"round %1"_qs.arg(round);
        while (words.size() < 195)
            words += u" of words for a line longer than the screen"_qs;
        words.truncate(194);
        words += u'.';
        const std::string label = words.left(8).toStdString();
        const QString users = u"the user's copy %1"_qs.arg(round);
        expectPastedOrSent(dictation->dictateOverTheUsersCopy(words, users, round == 5), users, label, round >= 10);
        spoken << words;
    }
    ASSERT_TRUE(RealApp::pressKeys(u"Return"_qs));
    const QString line = spoken.join(u' ') + u'\n';
    EXPECT_EQ(waitForFileContaining(u"line.txt"_qs, line).toStdString(), line.toStdString());
}

// With its echo off the terminal shows nothing of the words: the screen tells they are not where they
// were sent, and the dictation is told copied, the transcript left on the clipboard, as ever. The
// shell got them all the same.
TEST_F(TerminalScreen, GnomeTerminalWithItsEchoOffTellsTheDictationCopied) {
    ASSERT_TRUE(open(u"qvnoecho"_qs, u"stty -echo; exec cat > '"_qs + path(u"unseen.txt"_qs) + u'\''))
        << "GNOME Terminal never showed its terminal focused";
    const QString words = u"words the screen never shows"_qs;
    const auto told = dictation->dictateOverTheUsersCopy(words, u"the user's copy"_qs);
    EXPECT_EQ(told.kind, Kind::copiedToClipboard) << told.message.toStdString();
    EXPECT_EQ(told.entry, Kind::copiedToClipboard);
    EXPECT_EQ(told.message, u"Yapıştırma doğrulanamadı. Metin panoya kopyalandı."_qs);
    EXPECT_EQ(told.clipboard, words);
    ASSERT_TRUE(RealApp::pressKeys(u"Return"_qs));
    EXPECT_EQ(waitForFileContaining(u"unseen.txt"_qs, words + u'\n').toStdString(), (words + u'\n').toStdString());
}

}  // namespace
}  // namespace quorvelle
