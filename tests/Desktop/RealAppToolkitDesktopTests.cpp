// Dictation into the toolkits whose focus reads differently: GTK 4 (GNOME Text Editor) drops its
// states while the hot key holds the keyboard, WebKitGTK (Epiphany) keeps the page's fields in another
// process, Qt 5 leaves `focused` on objects that had the focus long ago, Firefox gives it to a whole
// document where the page is editable. A password prompt that shows no accessibility tree is refused;
// a terminal that shows none takes the words.
#include "FixtureApp.h"
#include "Platform/Linux/AtspiFocusTracker.h"
#include "RealAppDictation.h"
#include "ShellDesktopInput.h"
#include "TestEventLoop.h"

#include <QFile>
#include <QStandardPaths>
#include <QUrl>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using Kind = TranscriptHistoryCompletionKind;
using test::RealApp;
using test::xdotool;

// A program of the desktop, ended with this object; started by name, found by its window's title.
class DesktopProgram {
public:
    DesktopProgram(const QString& program, const QStringList& arguments, QString titlePattern)
        : m_titlePattern(std::move(titlePattern)) {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(program, arguments);
    }
    ~DesktopProgram() {
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) m_process.kill(), m_process.waitForFinished(5000);
    }
    // These start slowly under load: the wait is generous.
    bool showsAndTakesFocus() {
        return RealApp::waitForTitle(m_titlePattern) &&
               xdotool({u"search"_qs, u"--name"_qs, m_titlePattern, u"windowactivate"_qs, u"--sync"_qs});
    }

private:
    QProcess m_process;
    QString m_titlePattern;
};

bool writeFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

class RealAppToolkits : public ::testing::Test {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
        ASSERT_TRUE((dictation = std::make_unique<test::RealAppDictation>())->isReady());
    }
    QString path(const QString& name) const { return dictation->folder.path() + u'/' + name; }
    // Presses the hot key where no recording may start; why the session refused, none when it did not.
    std::optional<SessionBlockReason> refusalAtThePress() {
        const QStringList hotkey{u"Control_L"_qs, u"Alt_L"_qs, u"Return"_qs};
        const SessionViewModel& session = *dictation->vm->session();
        test::sendKeys(hotkey, true);
        test::waitUntil([&] { return session.runtimeState().kind() == SessionState::Kind::blocked; }, 20000);
        test::sendKeys(hotkey, false);
        if (!dictation->fakes.audioCapture->calls.filter(u"startCapture"_qs).isEmpty()) return std::nullopt;
        return session.runtimeState().blockReason();
    }

    // GNOME Text Editor on a note of that name holding `contents`, in front; null when it never showed.
    std::unique_ptr<DesktopProgram> textEditorOn(const QString& name, const QByteArray& contents) {
        if (!writeFile(path(name), contents)) return nullptr;
        auto editor = std::make_unique<DesktopProgram>(u"gnome-text-editor"_qs,
                                                       QStringList{u"--standalone"_qs, path(name)}, u'^' + name);
        return editor->showsAndTakesFocus() ? std::move(editor) : nullptr;
    }
    // Saves the note in front; its text once it holds `words` (or after the wait).
    QByteArray savedNote(const QString& name, const char* words) {
        RealApp::pressKeys(u"ctrl+s"_qs);
        QByteArray saved;
        const auto written = [&] {
            QFile file(path(name));
            return file.open(QIODevice::ReadOnly) && (saved = file.readAll()).contains(words);
        };
        test::waitUntil(written, 30000);
        return saved.trimmed();
    }

    std::unique_ptr<test::RealAppDictation> dictation;
};

// GTK 4 takes the field's `focused` and the window's `active` away while the hot key is held and
// reports `showing` for no widget below the window. The text goes in at the end of the document.
TEST_F(RealAppToolkits, Gtk4TextEditorTakesEachDictationAtTheCaret) {
    if (QStandardPaths::findExecutable(u"gnome-text-editor"_qs).isEmpty())
        GTEST_SKIP() << "GNOME Text Editor is not installed (scripts/install-deps installs it)";
    const auto editor = textEditorOn(u"note.txt"_qs, "Note:");
    ASSERT_TRUE(editor) << "the editor never showed the note";
    ASSERT_FALSE(dictation->focusedTextElement().isEmpty());
    // A freshly started GTK 4 application tells the bus nothing until its accessibility is set up,
    // which takes a while under load: away to another window and back until its focus is announced.
    DesktopProgram other(u"xmessage"_qs, {u"-title"_qs, u"Elsewhere"_qs, u"Elsewhere"_qs}, u"^Elsewhere$"_qs);
    const auto announced = [&] {
        QString pid;
        if (!other.showsAndTakesFocus() || !xdotool({u"search"_qs, u"--name"_qs, u"^note.txt"_qs, u"windowactivate"_qs,
                                                     u"--sync"_qs, u"getwindowpid"_qs},
                                                    &pid)) {
            return false;
        }
        return test::waitUntil(
            [&] { return AtspiFocusTracker::focusedObject(pid.toInt(), AtspiOffsetUnit::codePoints) != nullptr; },
            3000);
    };
    ASSERT_TRUE(test::waitUntil(announced, 60000));
    ASSERT_TRUE(RealApp::pressKeys(u"ctrl+End"_qs));

    EXPECT_EQ(dictation->dictate(u"hello world"_qs), Kind::inserted);
    EXPECT_EQ(dictation->dictate(u"again"_qs, true), Kind::inserted);

    EXPECT_EQ(savedNote(u"note.txt"_qs, "again"), "Note: hello world again");
}

// The page's field belongs to the web content process, not to the process that owns the window; it
// exposes no editable text, so the words are pasted and read back through the page. Its password
// field is refused.
TEST_F(RealAppToolkits, WebKitPageFieldTakesEachDictation) {
    if (QStandardPaths::findExecutable(u"epiphany"_qs).isEmpty())
        GTEST_SKIP() << "Epiphany is not installed (scripts/install-deps installs it)";
    const QString page = path(u"page.html"_qs);
    ASSERT_TRUE(writeFile(page,
                          "<!doctype html><title>ready</title><textarea autofocus "
                          "oninput=\"document.title='area:'+this.value\"></textarea><input type=password>"));
    DesktopProgram browser(
        u"epiphany"_qs,
        {u"--private-instance"_qs, u"--profile="_qs + path(u"epiphany"_qs), QUrl::fromLocalFile(page).toString()},
        u"^ready$"_qs);
    ASSERT_TRUE(browser.showsAndTakesFocus()) << "Epiphany never showed the page";
    ASSERT_TRUE(dictation->focusedFieldHoldsStill()) << "the page's field never held still";

    EXPECT_EQ(dictation->dictate(u"hello world"_qs), Kind::pastedViaClipboard);
    EXPECT_TRUE(RealApp::waitForTitle(u"^area:hello world$"_qs, 10000));
    EXPECT_EQ(dictation->dictate(u"again"_qs, true), Kind::pastedViaClipboard);
    EXPECT_TRUE(RealApp::waitForTitle(u"^area:hello world again$"_qs, 10000));

    // The page's password field is one for us too.
    ASSERT_TRUE(RealApp::pressKeys(u"Tab"_qs));
    const auto onPassword = [&] {
        try {
            return dictation->delivery->inspector().inspect().element.isSecure();
        } catch (const std::exception&) {
            return false;
        }
    };
    ASSERT_TRUE(test::waitUntil(onPassword, 10000));
    dictation->fakes.audioCapture->calls.clear();
    EXPECT_EQ(refusalAtThePress(), SessionBlockReason::secureField);
}

// A page whose whole document is editable (designMode) has the focus on the document itself: an
// editable document is the field the words go into, not a container the focus passes on its way.
TEST_F(RealAppToolkits, AFirefoxPageInDesignModeTakesTheWordsAtItsCaret) {
    const auto firefox = RealApp::firefoxOn(
        dictation->folder.path(),
        "<!doctype html><head><title>ready</title><script>onload=()=>{document.designMode='on';"
        "document.addEventListener('input',()=>{document.title='design:'+document.body.textContent});"
        "const r=document.createRange();r.selectNodeContents(document.querySelector('p'));r.collapse(false);"
        "getSelection().removeAllRanges();getSelection().addRange(r);}</script></head><body><p>Start</p></body>");
    ASSERT_TRUE(firefox) << "Firefox never showed the page";
    EXPECT_FALSE(dictation->focusedTextElement().isEmpty()) << "the focused document is not read as a field";

    EXPECT_EQ(dictation->dictate(u"hello world"_qs), Kind::pastedViaClipboard);
    EXPECT_TRUE(RealApp::waitForTitle(u"^design:Start hello world —"_qs, 10000));
    EXPECT_EQ(dictation->dictate(u"again"_qs, true), Kind::pastedViaClipboard);
    EXPECT_TRUE(RealApp::waitForTitle(u"^design:Start hello world again —"_qs, 10000));
}

// A window without an accessibility tree that asks for a passphrase cannot be looked into: its name
// marks it as a password field, and the hot key starts no recording there.
TEST_F(RealAppToolkits, APasswordPromptWithoutATreeIsRefusedAtThePress) {
    DesktopProgram prompt(u"xmessage"_qs,
                          {u"-name"_qs, u"pinentry-fixture"_qs, u"-title"_qs, u"Unlock key"_qs, u"Passphrase:"_qs},
                          u"^Unlock key$"_qs);
    ASSERT_TRUE(prompt.showsAndTakesFocus()) << "the prompt never showed";
    EXPECT_EQ(refusalAtThePress(), SessionBlockReason::secureField);
}

// The first dictation after a GTK 4 editor opened, its application not yet on the accessibility bus
// when the hot key went down, goes in as the later ones do.
TEST_F(RealAppToolkits, AFreshlyOpenedGtk4EditorTakesTheFirstDictation) {
    if (QStandardPaths::findExecutable(u"gnome-text-editor"_qs).isEmpty())
        GTEST_SKIP() << "GNOME Text Editor is not installed (scripts/install-deps installs it)";
    const auto editor = textEditorOn(u"fresh.txt"_qs, "Fresh:");
    ASSERT_TRUE(editor) << "the editor never showed the note";
    ASSERT_TRUE(RealApp::pressKeys(u"ctrl+End"_qs));

    // The backend answers a second after the release, as a real one takes about that long: a loaded
    // machine may bring the editor onto the bus only then, and the words must still go to its field.
    EXPECT_EQ(dictation->dictate(u"hello world"_qs, /*slowBackend=*/true), Kind::inserted);

    const QByteArray saved = savedNote(u"fresh.txt"_qs, "hello");
    // A window this fresh may not have taken Ctrl+End yet: the caret then is still at the start.
    EXPECT_TRUE(saved == "Fresh: hello world" || saved == "hello worldFresh:") << saved.toStdString();
}

// A window of tabbed documents in Qt 5 leaves `focused` on the panel, the status-bar buttons, the
// tabs and the hidden document it passed the focus through: the words go to the shown document.
TEST_F(RealAppToolkits, ATabbedQt5EditorTakesTheWordsInTheShownDocument) {
#ifndef QUORVELLE_QT5_FIXTURE_PATH
    GTEST_SKIP() << "Qt 5 is not installed (scripts/install-deps installs it)";
#else
    DesktopProgram editor(QStringLiteral(QUORVELLE_QT5_FIXTURE_PATH), {}, u"^Tabbed notes ready$"_qs);
    ASSERT_TRUE(editor.showsAndTakesFocus()) << "the editor never showed";
    // Another application's field takes the focus, and the editor's window comes back: Qt 5 tells the
    // bus nothing of its document then, and its window is looked through.
    test::FixtureApp other(test::FixtureApp::Toolkit::Gtk, u"Elsewhere"_qs);
    ASSERT_TRUE(xdotool({u"search"_qs, u"--name"_qs, u"^Elsewhere$"_qs, u"windowactivate"_qs, u"--sync"_qs}));
    other.focus(u"single"_qs);
    ASSERT_FALSE(dictation->focusedTextElement().isEmpty());
    ASSERT_TRUE(editor.showsAndTakesFocus());

    EXPECT_EQ(dictation->dictate(u"hello world"_qs), Kind::inserted);
    EXPECT_TRUE(RealApp::waitForTitle(u"^Tabbed notes: Draft: hello world$"_qs, 10000));
#endif
}

// A terminal shows no accessibility tree and says nothing on the bus when it takes the focus. The
// GTK window before it took its field's focus away, to a window it does not own: the focus is not
// on its way back there, and nothing waits for it.
TEST_F(RealAppToolkits, ATerminalAfterAnAccessibleApplicationTakesTheWords) {
    if (QStandardPaths::findExecutable(u"xterm"_qs).isEmpty())
        GTEST_SKIP() << "xterm is not installed (scripts/install-deps installs it)";
    test::FixtureApp first(test::FixtureApp::Toolkit::Gtk, u"Accessible first"_qs);
    ASSERT_TRUE(xdotool({u"search"_qs, u"--name"_qs, u"^Accessible first$"_qs, u"windowactivate"_qs, u"--sync"_qs}));
    first.focus(u"single"_qs);
    ASSERT_FALSE(dictation->focusedTextElement().isEmpty());
    EXPECT_EQ(dictation->dictate(u"first words"_qs), Kind::inserted);

    const QString received = path(u"received"_qs);
    // The shell hands every byte pasted straight to the file.
    DesktopProgram terminal(u"xterm"_qs,
                            {u"-T"_qs, u"Plain terminal"_qs, u"-e"_qs, u"sh"_qs, u"-c"_qs,
                             u"stty -icanon -echo; exec cat > \"$0\""_qs, received},
                            u"^Plain terminal$"_qs);
    ASSERT_TRUE(terminal.showsAndTakesFocus()) << "the terminal never showed";
    const FocusChangeAwaiting& focusChanges = dictation->delivery->focusChanges();
    EXPECT_FALSE(test::waitUntil([&] { return focusChanges.isFocusAway(); }, 2000))
        << "the focus counted as on its way back to a window behind the terminal";

    EXPECT_EQ(dictation->dictate(u"hello world"_qs), Kind::pasteSentUnverified);
    QByteArray contents;
    EXPECT_TRUE(test::waitUntil(
        [&] {
            QFile file(received);
            return file.open(QIODevice::ReadOnly) && (contents = file.readAll()).contains("hello world");
        },
        10000))
        << contents.toStdString();
}

}  // namespace
}  // namespace quorvelle
