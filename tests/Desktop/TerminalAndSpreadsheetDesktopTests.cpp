// Dictation whose landing only the application's own result tells: a Calc cell being edited, whose
// words must still be there once Enter ended the edit and the sheet is saved, GNOME Terminal, whose
// window belongs to a server process and whose words are read back from what the shell got, KDE's
// terminal and editor off the accessibility bus and rxvt-unicode, known by their windows alone.
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

// A Qt program that cannot reach the session bus never finds the accessibility bus there: it shows no
// tree, as Qt programs do on a desktop where accessibility is off.
std::unique_ptr<RealApp> launchOffTheAccessibilityBus(const QString& program, const QStringList& arguments,
                                                      const QString& titlePattern) {
    return RealApp::launch(u"env"_qs,
                           QStringList{u"-u"_qs, u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_qs,
                                       u"DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent"_qs, program} +
                               arguments,
                           titlePattern);
}

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

// Konsole takes Control+V as a control character (a literal ^V reaches the shell) and pastes with
// Control+Shift+V. Off the bus only its window's class tells it is a terminal; the shell, reading raw
// bytes, hands every one it got to the file.
TEST_F(TerminalAndSpreadsheet, KonsoleOffTheAccessibilityBusTakesTheTerminalChord) {
    if (QStandardPaths::findExecutable(u"konsole"_qs).isEmpty())
        GTEST_SKIP() << "Konsole is not installed (scripts/install-deps installs it)";
    const QString received = path(u"received"_qs);
    const auto konsole =
        launchOffTheAccessibilityBus(u"konsole"_qs,
                                     {u"--separate"_qs, u"-p"_qs, u"LocalTabTitleFormat=qvkonsole"_qs, u"-e"_qs,
                                      u"sh"_qs, u"-c"_qs, u"stty raw -echo; exec cat > \"$0\""_qs, received},
                                     u"^qvkonsole"_qs);
    ASSERT_TRUE(konsole) << "Konsole never showed";
    ASSERT_FALSE(dictation->focusedTextTarget()) << "Konsole showed a tree: the test needs it off the bus";

    EXPECT_EQ(dictation->dictate(u"hello world"_qs), Kind::pasteSentUnverified);
    const QString contents = waitForFileContaining(u"received"_qs, u"hello world"_qs);
    EXPECT_TRUE(contents.contains(u"hello world"_qs)) << contents.toStdString();
    EXPECT_FALSE(contents.contains(QChar(0x16))) << "Konsole got a Control+V";
}

// rxvt-unicode types Control+V and Control+Shift+V as they are (a literal ^V reaches the shell) and
// pastes the clipboard with Control+Alt+V. It has no accessibility at all: its window's class tells.
TEST_F(TerminalAndSpreadsheet, RxvtUnicodeTakesItsOwnPasteChord) {
    if (QStandardPaths::findExecutable(u"urxvt"_qs).isEmpty())
        GTEST_SKIP() << "rxvt-unicode is not installed (scripts/install-deps installs it)";
    const QString received = path(u"received"_qs);
    const auto urxvt = RealApp::launch(
        u"urxvt"_qs,
        {u"-title"_qs, u"qvurxvt"_qs, u"-e"_qs, u"sh"_qs, u"-c"_qs, u"stty raw -echo; exec cat > \"$0\""_qs, received},
        u"^qvurxvt"_qs);
    ASSERT_TRUE(urxvt) << "rxvt-unicode never showed";

    EXPECT_EQ(dictation->dictate(u"hello world"_qs), Kind::pasteSentUnverified);
    const QString contents = waitForFileContaining(u"received"_qs, u"hello world"_qs);
    EXPECT_TRUE(contents.contains(u"hello world"_qs)) << contents.toStdString();
    EXPECT_FALSE(contents.contains(QChar(0x16))) << "rxvt-unicode got a Control+V";
}

// What Konsole is known by must not take in a KDE program that is no terminal: Kate off the bus keeps
// Control+V (Control+Shift+V pastes nothing there).
TEST_F(TerminalAndSpreadsheet, KateOffTheAccessibilityBusKeepsControlV) {
    if (QStandardPaths::findExecutable(u"kate"_qs).isEmpty())
        GTEST_SKIP() << "Kate is not installed (scripts/install-deps installs it)";
    ASSERT_TRUE(write(u"plain.txt"_qs, "Plain:"));
    const auto kate = launchOffTheAccessibilityBus(u"kate"_qs, {u"-n"_qs, path(u"plain.txt"_qs)}, u"^plain.txt"_qs);
    ASSERT_TRUE(kate) << "Kate never showed";
    ASSERT_FALSE(dictation->focusedTextTarget()) << "Kate showed a tree: the test needs it off the bus";
    ASSERT_TRUE(RealApp::pressKeys(u"ctrl+End"_qs));

    EXPECT_EQ(dictation->dictate(u"hello world"_qs), Kind::pasteSentUnverified);
    ASSERT_TRUE(RealApp::pressKeys(u"ctrl+s"_qs));
    // Nothing of the text before the caret can be read to space the words from it.
    EXPECT_EQ(waitForFileContaining(u"plain.txt"_qs, u"hello"_qs).trimmed().toStdString(), "Plain:hello world");
}

}  // namespace
}  // namespace quorvelle
