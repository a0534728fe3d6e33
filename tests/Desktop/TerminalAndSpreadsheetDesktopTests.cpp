// Dictation whose landing only the application's own result tells: a Calc cell being edited, whose
// words must still be there once Enter ended the edit and the sheet is saved, and GNOME Terminal,
// whose window belongs to a server process and whose words are read back from what the shell got.
#include "RealAppFileTest.h"

#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using Kind = TranscriptHistoryCompletionKind;
using test::RealApp;

// A name of the test's own, so that no other GNOME Terminal server on the bus takes the window.
const QString kTerminalAppId = u"com.dovent.QuorvelleTestTerminal"_qs;

using TerminalAndSpreadsheet = test::RealAppFileTest;

// A cell in edit mode (F2, the caret after "Dear team."): Calc shows a direct write there and reads
// it back, then commits its own input line on Enter and the words are gone. Each dictation must
// survive Enter and the save.
TEST_F(TerminalAndSpreadsheet, CalcCellBeingEditedKeepsEachDictationAfterEnter) {
    if (QStandardPaths::findExecutable(u"soffice"_qs).isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed (scripts/install-deps installs it)";
    const QByteArray row =
        "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>Dear team.</text:p>"
        "</table:table-cell></table:table-row>";
    ASSERT_TRUE(write(u"edited.fods"_qs, sheetDocument(row + row + row)));
    const auto calc = this->calc(u"edited.fods"_qs);
    ASSERT_TRUE(calc) << "Calc never showed the sheet";
    ASSERT_TRUE(RealApp::pressKeys(u"ctrl+Home"_qs));

    // Capitalised: Calc's autocorrection capitalises a sentence's first word when the edit ends.
    const QStringList words{u"Alpha"_qs, u"Bravo"_qs, u"Charlie"_qs};
    QString previous;
    for (const QString& word : words) {
        // Enter moved the cell cursor down: F2 edits the next cell, whose editor is a new object.
        ASSERT_TRUE(RealApp::pressKeys(u"F2"_qs));
        previous = dictation->focusedTextElement(previous);
        ASSERT_FALSE(previous.isEmpty()) << "no cell editor took the focus for " << word.toStdString();
        ASSERT_TRUE(dictation->focusedFieldHoldsStill());
        // Pasted, and read back from the cell's editor.
        EXPECT_EQ(dictation->dictate(word, word == words.at(1)), Kind::pastedViaClipboard) << word.toStdString();
        ASSERT_TRUE(RealApp::pressKeys(u"Return"_qs));
    }

    EXPECT_EQ(savedWords(u"edited.fods"_qs, words, u"<text:p>Dear team\\. %1</text:p>"_qs), words);
}

// GNOME Terminal's window belongs to gnome-terminal-server, which the test desktop's private bus
// cannot start on its own (the bus was started without the display): the test starts it. The words
// go in with the terminal's paste chord, once the terminal learned what the clipboard holds; the
// shell writes each line it read to a file.
TEST_F(TerminalAndSpreadsheet, GnomeTerminalTakesEachDictation) {
    const QString server = u"/usr/libexec/gnome-terminal-server"_qs;
    if (QStandardPaths::findExecutable(u"gnome-terminal"_qs).isEmpty() || !QFile::exists(server))
        GTEST_SKIP() << "GNOME Terminal is not installed (scripts/install-deps installs it)";
    QProcess serverProcess;
    serverProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    serverProcess.start(server, {u"--app-id"_qs, kTerminalAppId});
    ASSERT_TRUE(serverProcess.waitForStarted());
    const auto serving = [] {
        QProcess ask;
        ask.start(u"dbus-send"_qs,
                  {u"--session"_qs, u"--print-reply"_qs, u"--dest=org.freedesktop.DBus"_qs, u"/org/freedesktop/DBus"_qs,
                   u"org.freedesktop.DBus.NameHasOwner"_qs, u"string:"_qs + kTerminalAppId});
        return ask.waitForFinished(10000) && ask.readAllStandardOutput().contains("boolean true");
    };
    ASSERT_TRUE(test::waitUntil(serving, 60000)) << "gnome-terminal-server never took its name on the bus";
    const auto terminal = RealApp::launch(
        u"gnome-terminal"_qs,
        {u"--app-id"_qs, kTerminalAppId, u"--wait"_qs, u"--"_qs, u"sh"_qs, u"-c"_qs,
         u"printf '\\033]0;qvgnome\\007'; for n in 1 2 3; do read -r line; printf '%s\\n' \"$line\" >> "_qs +
             path(u"typed.txt"_qs) + u"; done; sleep 60"_qs},
        u"^qvgnome$"_qs);
    ASSERT_TRUE(terminal) << "GNOME Terminal never showed";
    // A window just shown tells the accessibility bus of its focused terminal a moment later.
    ASSERT_FALSE(dictation->focusedTextElement().isEmpty());

    const QStringList words{u"hello world"_qs, u"again"_qs, u"third one"_qs};
    QString expected;
    for (const QString& line : words) {
        // The terminal shows its text to accessibility: the words are read back where the cursor was.
        EXPECT_EQ(dictation->dictate(line, line == words.at(1)), Kind::pastedViaClipboard) << line.toStdString();
        ASSERT_TRUE(RealApp::pressKeys(u"Return"_qs));
        expected += line + u'\n';
        EXPECT_EQ(waitForFileContaining(u"typed.txt"_qs, expected), expected);
    }
    serverProcess.terminate();
    if (!serverProcess.waitForFinished(10000)) serverProcess.kill(), serverProcess.waitForFinished(5000);
}

}  // namespace
}  // namespace quorvelle
