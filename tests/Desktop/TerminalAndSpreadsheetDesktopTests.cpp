// Dictation whose landing only the application's own result tells: a Calc cell being edited, whose
// words must still be there once Enter ended the edit and the sheet is saved, GNOME Terminal, whose
// window belongs to a server process and whose words are read back from what the shell got, GNOME
// Terminal and Konsole with lines that wrap, KDE's terminal and editor off the accessibility bus and
// rxvt-unicode, known by their windows alone.
#include "GnomeTerminalServer.h"
#include "RealAppFileTest.h"

#include <QStandardPaths>

#include <gtest/gtest.h>

#include <functional>

namespace quorvelle {
namespace {

using Kind = TranscriptHistoryCompletionKind;
using test::GnomeTerminalServer;
using test::RealApp;

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

// A shell that writes each line it reads to the file.
QString linesTo(const QString& file) {
    return u"while read -r line; do printf '%s\\n' \"$line\" >> '"_qs + file + u"'; done; sleep 60"_qs;
}

// The words go in with the terminal's paste chord, once the terminal learned what the clipboard
// holds; the shell writes each line it read to a file.
TEST_F(TerminalAndSpreadsheet, GnomeTerminalTakesEachDictation) {
    if (!GnomeTerminalServer::isInstalled())
        GTEST_SKIP() << "GNOME Terminal is not installed (scripts/install-deps installs it)";
    GnomeTerminalServer server;
    const auto terminal = server.open(u"qvgnome"_qs, linesTo(path(u"typed.txt"_qs)));
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
}

// A terminal's accessible text is its screen: the line, then a line break for each empty row below
// it. Each of these dictations is longer than a row, so the line wraps and takes a row from below:
// every one is told pasted, and the shell gets the whole line once.
void dictateLinesThatWrap(test::RealAppDictation& dictation, const std::function<QString(const QString&)>& typed) {
    ASSERT_FALSE(dictation.focusedTextElement().isEmpty()) << "the terminal never told the bus of its focus";
    QStringList spoken;
    for (int round = 0; round < 10; ++round) {
        const QString words =
            u"round %1 of words long enough to wrap the terminal's line onto another row of "
            u"its screen, in GNOME Terminal and in Konsole alike"_qs.arg(round);
        EXPECT_EQ(dictation.dictate(words, round % 3 == 1), Kind::pastedViaClipboard)
            << words.toStdString() << " (" << dictation.vm->inlineMessage().value_or(u"-"_qs).toStdString() << ")";
        spoken << words;
    }
    ASSERT_TRUE(RealApp::pressKeys(u"Return"_qs));
    // The spacing rule put one space between the dictations.
    const QString line = spoken.join(u' ') + u'\n';
    EXPECT_EQ(typed(line), line);
}

TEST_F(TerminalAndSpreadsheet, GnomeTerminalTellsEachDictationThatWrapsItsLinePasted) {
    if (!GnomeTerminalServer::isInstalled())
        GTEST_SKIP() << "GNOME Terminal is not installed (scripts/install-deps installs it)";
    GnomeTerminalServer server;
    const auto terminal = server.open(u"qvwrap"_qs, linesTo(path(u"typed.txt"_qs)));
    ASSERT_TRUE(terminal) << "GNOME Terminal never showed";
    dictateLinesThatWrap(*dictation,
                         [this](const QString& line) { return waitForFileContaining(u"typed.txt"_qs, line); });
}

TEST_F(TerminalAndSpreadsheet, KonsoleTellsEachDictationThatWrapsItsLinePasted) {
    if (QStandardPaths::findExecutable(u"konsole"_qs).isEmpty())
        GTEST_SKIP() << "Konsole is not installed (scripts/install-deps installs it)";
    const auto konsole = RealApp::launch(u"konsole"_qs,
                                         {u"--separate"_qs, u"-p"_qs, u"LocalTabTitleFormat=qvkonsolewrap"_qs, u"-e"_qs,
                                          u"sh"_qs, u"-c"_qs, linesTo(path(u"typed.txt"_qs))},
                                         u"^qvkonsolewrap"_qs);
    ASSERT_TRUE(konsole) << "Konsole never showed";
    dictateLinesThatWrap(*dictation,
                         [this](const QString& line) { return waitForFileContaining(u"typed.txt"_qs, line); });
}

// A terminal used a while: lines printed before the shell reads (100, more than a screen holds). Konsole
// then reads its text from the oldest line of its scrollback, never where the words go; GNOME
// Terminal's screen is full, and each dictation, wrapping the line, scrolls rows off its top. Every
// dictation is told pasted (`readable`) or sent, never copied; the user's text is on the clipboard
// before each and back after it; the shell gets the whole line once.
void dictateIntoATerminalUsedAWhile(test::RealAppDictation& dictation, bool readable,
                                    const std::function<QString(const QString&)>& typed) {
    ASSERT_FALSE(dictation.focusedTextElement().isEmpty()) << "the terminal never told the bus of its focus";
    QStringList spoken;
    for (int round = 0; round < 10; ++round) {
        const QString words =
            u"round %1 of words long enough to wrap the terminal's line onto another row of "
            u"its screen, in GNOME Terminal and in Konsole alike"_qs.arg(round);
        const QString users = u"the user's copy %1"_qs.arg(round);
        const auto told = dictation.dictateOverTheUsersCopy(words, users, round % 3 == 1);
        const std::string label = words.left(8).toStdString() + " (" + told.message.toStdString() + ")";
        if (readable) {
            EXPECT_EQ(told.kind, Kind::pastedViaClipboard) << label;
        } else {
            // Sent, and the message does not say the words are on the clipboard: they are not.
            EXPECT_EQ(told.kind, Kind::pasteSentUnverified) << label;
            EXPECT_EQ(told.message, u"Yapıştırma gönderildi."_qs) << label;
        }
        EXPECT_EQ(told.clipboard.toStdString(), users.toStdString()) << label;
        spoken << words;
    }
    ASSERT_TRUE(RealApp::pressKeys(u"Return"_qs));
    // The spacing rule puts one space between the dictations where it can read the text before the caret.
    const QString line = spoken.join(readable ? u" "_qs : QString()) + u'\n';
    EXPECT_EQ(typed(line).toStdString(), line.toStdString());
}

QString linesThenLinesTo(const QString& file) {
    return u"seq 1 100; "_qs + linesTo(file);
}

TEST_F(TerminalAndSpreadsheet, KonsoleWithLinesInItsScrollbackTellsEachDictationSentAndGivesTheClipboardBack) {
    if (QStandardPaths::findExecutable(u"konsole"_qs).isEmpty())
        GTEST_SKIP() << "Konsole is not installed (scripts/install-deps installs it)";
    const auto konsole = RealApp::launch(u"konsole"_qs,
                                         {u"--separate"_qs, u"-p"_qs, u"LocalTabTitleFormat=qvkonsoleused"_qs, u"-e"_qs,
                                          u"sh"_qs, u"-c"_qs, linesThenLinesTo(path(u"typed.txt"_qs))},
                                         u"^qvkonsoleused"_qs);
    ASSERT_TRUE(konsole) << "Konsole never showed";
    dictateIntoATerminalUsedAWhile(
        *dictation, false, [this](const QString& line) { return waitForFileContaining(u"typed.txt"_qs, line); });
}

TEST_F(TerminalAndSpreadsheet, GnomeTerminalWithAFullScreenTellsEachDictationPastedAndGivesTheClipboardBack) {
    if (!GnomeTerminalServer::isInstalled())
        GTEST_SKIP() << "GNOME Terminal is not installed (scripts/install-deps installs it)";
    GnomeTerminalServer server;
    const auto terminal = server.open(u"qvfull"_qs, linesThenLinesTo(path(u"typed.txt"_qs)));
    ASSERT_TRUE(terminal) << "GNOME Terminal never showed";
    dictateIntoATerminalUsedAWhile(
        *dictation, true, [this](const QString& line) { return waitForFileContaining(u"typed.txt"_qs, line); });
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
