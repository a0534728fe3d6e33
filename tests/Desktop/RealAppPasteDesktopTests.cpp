// Dictation into fields that take a paste but cannot be read back as written: a GTK 4 terminal (a
// container without text), a Tk window (no tree, no process named on the window) and a spreadsheet's
// selected cell; WebKit's rich text, which keeps the added space as a no-break space, and a field that
// trims it.
#include "Platform/Linux/AtspiFocusTracker.h"
#include "RealAppFileTest.h"
#include "TestEventLoop.h"

#include <QFile>
#include <QStandardPaths>
#include <QUrl>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using Kind = TranscriptHistoryCompletionKind;
using test::RealApp;

class RealAppPaste : public test::RealAppFileTest {
protected:
    // A freshly started GTK 4 application tells the bus nothing of its focus until the focus moves:
    // away to another window and back until it does.
    static bool focusAnnounced(const QString& titlePattern) {
        const auto elsewhere =
            RealApp::launch(u"xmessage"_qs, {u"-title"_qs, u"Elsewhere"_qs, u"Elsewhere"_qs}, u"^Elsewhere$"_qs);
        const auto announced = [&] {
            QProcess xdotool;
            xdotool.start(u"xdotool"_qs, {u"search"_qs, u"--name"_qs, u"^Elsewhere$"_qs, u"windowactivate"_qs,
                                          u"--sync"_qs, u"search"_qs, u"--name"_qs, titlePattern, u"windowactivate"_qs,
                                          u"--sync"_qs, u"getwindowpid"_qs});
            if (!xdotool.waitForFinished(30000) || xdotool.exitCode() != 0) return false;
            const int pid = QString::fromUtf8(xdotool.readAllStandardOutput()).trimmed().toInt();
            return test::waitUntil(
                [&] { return AtspiFocusTracker::focusedObject(pid, AtspiOffsetUnit::codePoints) != nullptr; }, 3000);
        };
        return elsewhere && test::waitUntil(announced, 60000);
    }
};

// The editor stores the space put before the words as U+00A0 (shown here as '~'): the words are
// there, the paste counts as checked and the user's clipboard comes back.
TEST_F(RealAppPaste, WebKitRichTextKeepingTheSpaceAsANoBreakSpaceCountsAsPasted) {
    if (QStandardPaths::findExecutable(u"epiphany"_qs).isEmpty())
        GTEST_SKIP() << "Epiphany is not installed (scripts/install-deps installs it)";
    ASSERT_TRUE(write(u"rich.html"_qs, R"(<!doctype html><title>ready</title><div id=e contenteditable>Start</div>
<script>
const e = document.getElementById('e');
e.addEventListener('input', () => {
  document.title = 'rich:' + e.textContent.replace(/\u00a0/g, '~');
});
e.focus();
const r = document.createRange();
r.selectNodeContents(e);
r.collapse(false);
getSelection().removeAllRanges();
getSelection().addRange(r);
</script>)"));
    const auto browser = RealApp::launch(u"epiphany"_qs,
                                         {u"--private-instance"_qs, u"--profile="_qs + path(u"epiphany"_qs),
                                          QUrl::fromLocalFile(path(u"rich.html"_qs)).toString()},
                                         u"^ready$"_qs);
    ASSERT_TRUE(browser) << "Epiphany never showed the page";
    ASSERT_FALSE(dictation->focusedTextElement().isEmpty());

    EXPECT_EQ(dictation->dictate(u"hello world"_qs), Kind::pastedViaClipboard);
    EXPECT_TRUE(RealApp::waitForTitle(u"^rich:Start~hello world$"_qs, 10000));
}

// A field that trims what it is given (Chromium's address bar drops the space the spacing rule put
// before the words; this page's field does the same): the words stand right after the text, and the
// paste counts as checked.
TEST_F(RealAppPaste, AFieldThatTrimsTheSpaceBeforeTheWordsCountsAsPasted) {
    const auto chromium = RealApp::chromiumOn(dictation->folder.path(), R"(<!doctype html><title>ready</title>
<input id=f value=abc>
<script>
f.addEventListener('paste', (event) => {
  event.preventDefault();
  document.execCommand('insertText', false, event.clipboardData.getData('text/plain').trimStart());
});
f.addEventListener('input', () => { document.title = 'value:' + f.value; });
f.focus();
f.setSelectionRange(3, 3);
</script>)");
    if (!chromium) GTEST_SKIP() << "Chromium is not installed (scripts/install-deps installs it)";
    ASSERT_FALSE(dictation->focusedTextElement().isEmpty());
    ASSERT_TRUE(dictation->focusedFieldHoldsStill());

    EXPECT_EQ(dictation->dictate(u"xyz"_qs), Kind::pastedViaClipboard)
        << dictation->vm->inlineMessage().value_or(u"-"_qs).toStdString();
    EXPECT_TRUE(RealApp::waitForTitle(u"^value:abcxyz"_qs, 10000));
}

// GNOME's console: the terminal widget is a focused container without text. The words go in with
// the terminal's paste chord (a Control+V would put a control character there) and are not read back.
TEST_F(RealAppPaste, Gtk4TerminalTakesThePasteWithTheTerminalChord) {
    if (QStandardPaths::findExecutable(u"kgx"_qs).isEmpty())
        GTEST_SKIP() << "GNOME Console is not installed (scripts/install-deps installs it)";
    const QString typed = path(u"typed.txt"_qs);
    const auto console = RealApp::launch(
        u"kgx"_qs,
        {u"--title=qvterm"_qs, u"-e"_qs,
         u"sh -c 'printf \"\\033]0;qvterm\\007\"; read -r line; printf %s \"$line\" > "_qs + typed + u"; sleep 60'"_qs},
        u"^qvterm$"_qs);
    ASSERT_TRUE(console) << "the console never showed";
    ASSERT_TRUE(focusAnnounced(u"^qvterm$"_qs));

    EXPECT_EQ(dictation->dictate(u"hello world"_qs), Kind::pasteSentUnverified);
    ASSERT_TRUE(RealApp::pressKeys(u"Return"_qs));
    EXPECT_EQ(waitForFileContaining(u"typed.txt"_qs, u"hello world"_qs), u"hello world"_qs);
}

// Tk shows no accessibility tree and names no process on its window: the window itself tells that
// the application in front is still the one the recording began in.
TEST_F(RealAppPaste, TkEntryTakesEachPasteThoughItsWindowNamesNoProcess) {
    if (QStandardPaths::findExecutable(u"python3"_qs).isEmpty()) GTEST_SKIP() << "python3 is not installed";
    ASSERT_TRUE(write(u"entry.py"_qs, R"(import tkinter as tk
root = tk.Tk()
root.title('ready')
value = tk.StringVar()
value.trace_add('write', lambda *_: root.title('tk:' + value.get()))
entry = tk.Entry(root, textvariable=value)
entry.pack()
entry.focus_set()
root.mainloop()
)"));
    const auto window = RealApp::launch(u"python3"_qs, {path(u"entry.py"_qs)}, u"^ready$"_qs);
    ASSERT_TRUE(window) << "the Tk window never showed (is python3-tk installed?)";

    EXPECT_EQ(dictation->dictate(u"hello"_qs), Kind::pasteSentUnverified);
    EXPECT_TRUE(RealApp::waitForTitle(u"^tk:hello$"_qs, 10000));
    // Nothing is read there, so no space is put between the two.
    EXPECT_EQ(dictation->dictate(u"again"_qs, true), Kind::pasteSentUnverified);
    EXPECT_TRUE(RealApp::waitForTitle(u"^tk:helloagain$"_qs, 10000));
}

// A selected cell of Calc (not being edited): the sheet holds the focus, a table without text, and
// Calc names the focus on its root pane alone. Each dictation goes into the cell, unread; Down moves
// to the next cell between them.
TEST_F(RealAppPaste, CalcSelectedCellTakesEachPaste) {
    if (QStandardPaths::findExecutable(u"soffice"_qs).isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed (scripts/install-deps installs it)";
    ASSERT_TRUE(write(u"sheet.fods"_qs, sheetDocument("<table:table-row><table:table-cell/></table:table-row>")));
    const auto calc = this->calc(u"sheet.fods"_qs);
    ASSERT_TRUE(calc) << "Calc never showed the sheet";
    ASSERT_TRUE(RealApp::pressKeys(u"ctrl+Home"_qs));

    const QStringList words{u"alpha"_qs, u"bravo"_qs, u"charlie"_qs};
    for (const QString& word : words) {
        EXPECT_EQ(dictation->dictate(word, word == words.at(1)), Kind::pasteSentUnverified) << word.toStdString();
        ASSERT_TRUE(RealApp::pressKeys(u"Down"_qs));
    }

    EXPECT_EQ(savedWords(u"sheet.fods"_qs, words, u"<text:p>%1</text:p>"_qs), words);
}

}  // namespace
}  // namespace quorvelle
