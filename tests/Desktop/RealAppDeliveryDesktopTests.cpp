// Dictation into Firefox ESR and LibreOffice Writer, as a user of a Debian desktop has them.
#include "RealAppDictation.h"
#include "Services/Delivery/ElementHandleStorage.h"
#include "TestEventLoop.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <memory>
#include <utility>

namespace quorvelle {
namespace {

using Kind = TranscriptHistoryCompletionKind;
using test::RealApp;

class RealAppDelivery : public ::testing::Test {
protected:
    std::unique_ptr<test::RealAppDictation> dictation;

    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
        dictation = std::make_unique<test::RealAppDictation>();
        ASSERT_TRUE(dictation->isReady());
    }
    bool lands(const QString& words, bool slowBackend = false) {
        const std::optional<Kind> outcome = dictation->dictate(words, slowBackend);
        return outcome == Kind::inserted || outcome == Kind::pastedViaClipboard;
    }
};

// Firefox answers a direct write with success and changes nothing, so its fields are not taken for
// writable ones: the checked paste brings the text, the page's own input event sees it, and the user's
// clipboard and primary selection come back.
TEST_F(RealAppDelivery, FirefoxTextareaAndInputReceiveTwoDictationsEachAndTheSelectionsComeBack) {
    const auto firefox = RealApp::firefox(dictation->folder.path());
    ASSERT_TRUE(firefox) << "Firefox never showed the page";
    const QString textarea = dictation->focusedTextElement();
    ASSERT_FALSE(textarea.isEmpty());
    QClipboard* board = QGuiApplication::clipboard();
    board->setText(u"the user's clipboard"_qs, QClipboard::Clipboard);
    board->setText(u"the user's selection"_qs, QClipboard::Selection);

    EXPECT_TRUE(lands(u"hello world"_qs));
    EXPECT_TRUE(RealApp::waitForTitle(u"^area:hello world —"_qs, 10000));
    // As the app reads the field: the session's own last look may have caught the page between
    // two focus states on a busy machine.
    std::optional<FocusedTargetSnapshot> target;
    ASSERT_TRUE(test::waitUntil([&] { return (target = dictation->focusedTextTarget()).has_value(); }, 10000));
    EXPECT_FALSE(target->element.supportsValueWrite);
    EXPECT_TRUE(target->element.supportsSelectedTextRangeWrite);
    EXPECT_TRUE(lands(u"again"_qs, true));
    EXPECT_TRUE(RealApp::waitForTitle(u"^area:hello world again —"_qs, 10000));
    EXPECT_EQ(dictation->vm->session()->lastInsertionOutcome(), Kind::pastedViaClipboard);
    EXPECT_TRUE(test::waitUntil([&] { return board->text(QClipboard::Clipboard) == u"the user's clipboard"_qs; }));
    EXPECT_EQ(board->text(QClipboard::Selection), u"the user's selection"_qs);

    RealApp::pressKeys(u"Tab"_qs);
    ASSERT_FALSE(dictation->focusedTextElement(textarea).isEmpty());
    EXPECT_TRUE(lands(u"one"_qs));
    EXPECT_TRUE(RealApp::waitForTitle(u"^line:one —"_qs, 10000));
    EXPECT_TRUE(lands(u"two"_qs, true));
    EXPECT_TRUE(RealApp::waitForTitle(u"^line:one two —"_qs, 10000));
}

// A contenteditable holding paragraphs shows Firefox's accessibility only one embedded object per
// paragraph: the words are read, pasted and checked in the paragraph with the caret, so they get
// their separating space and the paste counts as the verified one it is.
TEST_F(RealAppDelivery, FirefoxRichTextInParagraphsTakesTheWordsAtTheCaretWithItsSpace) {
    const auto firefox = RealApp::firefoxOn(
        dictation->folder.path(),
        "<!doctype html><title>ready</title>"
        "<div id=e contenteditable oninput=\"document.title='rich:'+[...this.children].map(p=>p.textContent)"
        ".join('|')\"><p>First one.</p><p>Second</p></div><script>"
        "const e=document.getElementById('e');e.focus();const r=document.createRange();"
        "r.selectNodeContents(e.lastChild);r.collapse(false);getSelection().removeAllRanges();"
        "getSelection().addRange(r);</script>");
    ASSERT_TRUE(firefox) << "Firefox never showed the page";
    ASSERT_FALSE(dictation->focusedTextElement().isEmpty());
    QClipboard* board = QGuiApplication::clipboard();
    board->setText(u"the user's clipboard"_qs, QClipboard::Clipboard);

    EXPECT_EQ(dictation->dictate(u"more words"_qs), Kind::pastedViaClipboard);
    EXPECT_TRUE(RealApp::waitForTitle(u"^rich:First one[.][|]Second more words —"_qs, 10000));
    EXPECT_EQ(dictation->dictate(u"again"_qs, true), Kind::pastedViaClipboard);
    EXPECT_TRUE(RealApp::waitForTitle(u"^rich:First one[.][|]Second more words again —"_qs, 10000));
    EXPECT_TRUE(test::waitUntil([&] { return board->text(QClipboard::Clipboard) == u"the user's clipboard"_qs; }));
}

// Dictating words the field already holds: they arrive once more and count as pasted. Where the page
// refuses the paste nothing arrived, whatever the field holds: the words stay on the clipboard, as
// dictated, and are recorded as copied.
TEST_F(RealAppDelivery, FirefoxFieldAlreadyHoldingTheWordsCountsOnlyWhatArrived) {
    const auto firefox = RealApp::firefoxOn(
        dictation->folder.path(),
        "<!doctype html><title>ready</title>"
        "<textarea id=a autofocus oninput=\"document.title='area:'+this.value\">hello world</textarea>"
        "<textarea id=b onpaste=\"event.preventDefault()\" onfocus=\"this.setSelectionRange(11,11)\""
        " oninput=\"document.title='refused:'+this.value\">hello world</textarea>"
        "<script>document.getElementById('a').setSelectionRange(11,11);</script>");
    ASSERT_TRUE(firefox) << "Firefox never showed the page";
    const QString holding = dictation->focusedTextElement();
    ASSERT_FALSE(holding.isEmpty());
    QClipboard* board = QGuiApplication::clipboard();
    board->setText(u"the user's clipboard"_qs, QClipboard::Clipboard);

    EXPECT_EQ(dictation->dictate(u"hello world"_qs), Kind::pastedViaClipboard);
    EXPECT_TRUE(RealApp::waitForTitle(u"^area:hello world hello world —"_qs, 10000));
    EXPECT_TRUE(test::waitUntil([&] { return board->text(QClipboard::Clipboard) == u"the user's clipboard"_qs; }));

    RealApp::pressKeys(u"Tab"_qs);
    ASSERT_FALSE(dictation->focusedTextElement(holding).isEmpty());
    for (const bool slowBackend : {false, true}) {
        EXPECT_EQ(dictation->dictate(u"hello world"_qs, slowBackend), Kind::copiedToClipboard);
        EXPECT_EQ(board->text(QClipboard::Clipboard), u"hello world"_qs);
    }
    EXPECT_FALSE(RealApp::waitForTitle(u"^refused:"_qs, 1000));
}

// A page that shows a bar above the field while the window is away (the hot key's grab takes it for a
// moment) moves the field on the screen, not the focus: the words still go in.
TEST_F(RealAppDelivery, FirefoxFieldThePageMovedWhileRecordingStillTakesTheWords) {
    const auto firefox = RealApp::firefoxOn(
        dictation->folder.path(),
        "<!doctype html><title>ready</title><div id=bar></div>"
        "<textarea autofocus oninput=\"document.title='moved:'+this.value\"></textarea><script>"
        "onblur=()=>{document.getElementById('bar').style.height=(bar.offsetHeight+60)+'px'};</script>");
    ASSERT_TRUE(firefox) << "Firefox never showed the page";
    ASSERT_FALSE(dictation->focusedTextElement().isEmpty());

    EXPECT_EQ(dictation->dictate(u"first words"_qs), Kind::pastedViaClipboard);
    EXPECT_TRUE(RealApp::waitForTitle(u"^moved:first words —"_qs, 10000));
    EXPECT_EQ(dictation->dictate(u"more"_qs, true), Kind::pastedViaClipboard);
    EXPECT_TRUE(RealApp::waitForTitle(u"^moved:first words more —"_qs, 10000));
}

// Writer passes the focus through its root pane after the hot key; the text goes in at the caret and
// the paragraph's bold word stays bold in the saved document.
TEST_F(RealAppDelivery, WriterTakesTheTextAtTheCaretAndKeepsTheBoldWord) {
    QString document;
    const auto writer = RealApp::writer(dictation->folder.path(), &document);
    ASSERT_TRUE(writer) << "Writer never showed the document";
    ASSERT_FALSE(dictation->focusedTextElement().isEmpty());

    EXPECT_TRUE(lands(u"more words"_qs));
    EXPECT_TRUE(lands(u"again"_qs, true));
    EXPECT_EQ(dictation->vm->session()->lastInsertionOutcome(), Kind::inserted);

    RealApp::pressKeys(u"ctrl+s"_qs);
    QString saved;
    const auto written = [&] {
        QFile file(document);
        return file.open(QIODevice::ReadOnly) && (saved = QString::fromUtf8(file.readAll())).contains(u"again"_qs);
    };
    ASSERT_TRUE(test::waitUntil(written, 30000)) << saved.toStdString();
    EXPECT_TRUE(saved.contains(u"> end more words again</text:p>"_qs)) << saved.toStdString();
    const QString style =
        QRegularExpression(u"text:style-name=\"(\\w+)\">bold</text:span>"_qs).match(saved).captured(1);
    ASSERT_FALSE(style.isEmpty()) << saved.toStdString();
    EXPECT_TRUE(QRegularExpression(u"style:name=\""_qs + style +
                                   u"\"[^>]*>\\s*<style:text-properties[^>]*:font-weight=\"bold\""_qs)
                    .match(saved)
                    .hasMatch())
        << saved.toStdString();
}

// Writer on a document with a table between two paragraphs.
const QByteArray kTableDocument =
    "<text:p>Before</text:p><table:table table:name=\"T\"><table:table-column table:number-columns-repeated=\"2\"/>"
    "<table:table-row><table:table-cell><text:p>Cell one</text:p></table:table-cell><table:table-cell><text:p>Cell "
    "two</text:p></table:table-cell></table:table-row></table:table><text:p>After</text:p>";

// Writer opened, and its caret put into a table cell, before the app was there to see the focus
// arrive: at the press its focus events name nothing but its root pane, if anything, and its
// paragraph drops its focused state to the hot key's grab.
class WriterBeforeTheApp : public RealAppDelivery {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
    }
    // Writer's document of that name in the folder, with the caret at the end of the first cell.
    std::unique_ptr<RealApp> writerInCell(const QString& folder, QString* document) {
        auto writer = RealApp::writer(folder, document, kTableDocument);
        for (const QString& keys : {u"ctrl+Home"_qs, u"Down"_qs, u"End"_qs})
            if (writer && !RealApp::pressKeys(keys)) return nullptr;
        return writer;
    }
    // The rig, made once the caret rests in the cell.
    void startDictation(const std::function<void(AppBootstrap&)>& adjust = {}) {
        test::waitUntil([] { return false; }, 1000);
        dictation = std::make_unique<test::RealAppDictation>(adjust);
        ASSERT_TRUE(dictation->isReady());
    }
    // Saves the document in front; the file's text once it holds the words (or after the wait).
    static QString savedText(const QString& document, const QString& words, int timeoutMs = 30000) {
        RealApp::pressKeys(u"ctrl+s"_qs);
        QString saved;
        test::waitUntil(
            [&] {
                QFile file(document);
                return file.open(QIODevice::ReadOnly) && (saved = QString::fromUtf8(file.readAll())).contains(words);
            },
            timeoutMs);
        return saved;
    }
};

// The paragraph of the cell holding the caret says so itself: the words go there and are read back;
// the cell beside it and the text around the table keep theirs.
TEST_F(WriterBeforeTheApp, ATableCellTakesTheWordsAtTheCaretFromTheFirstPress) {
    QTemporaryDir folder;
    QString document;
    const auto writer = writerInCell(folder.path(), &document);
    ASSERT_TRUE(writer) << "Writer never showed the document";
    startDictation();

    EXPECT_EQ(dictation->dictate(u"more words"_qs), Kind::inserted);
    EXPECT_EQ(dictation->dictate(u"again"_qs, true), Kind::inserted);

    const QString saved = savedText(document, u"again"_qs);
    EXPECT_TRUE(QRegularExpression(u"<table:table-cell[^>]*>\\s*<text:p[^>]*>Cell one more words again</text:p>"_qs)
                    .match(saved)
                    .hasMatch())
        << saved.toStdString();
    EXPECT_TRUE(saved.contains(u">Cell two</text:p>"_qs)) << saved.toStdString();
    EXPECT_TRUE(saved.contains(u">Before</text:p>"_qs) && saved.contains(u">After</text:p>"_qs)) << saved.toStdString();
}

// Two documents of one Writer show, each with a paragraph holding its own caret, and neither window
// is active while the hot key grabs the keyboard: the caret does not tell which one is in front.
class WriterWithTwoDocuments : public WriterBeforeTheApp {
protected:
    // Writer's first document (note.fodt), then a copy of it, second.fodt, opened in the same Writer, in
    // front, with its caret at the end of its first cell too.
    bool openBoth() {
        m_first = writerInCell(m_firstFolder.path(), &m_firstDocument);
        if (!m_first) return false;
        m_secondDocument = m_secondFolder.path() + u"/second.fodt"_qs;
        if (!QFile::copy(m_firstDocument, m_secondDocument)) return false;
        m_second = RealApp::launch(
            u"soffice"_qs,
            {u"--writer"_qs, u"--norestore"_qs, u"--nologo"_qs,
             u"-env:UserInstallation="_qs + QUrl::fromLocalFile(m_firstFolder.path() + u"/writer"_qs).toString(),
             m_secondDocument},
            u"^second.fodt"_qs);
        if (!m_second) return false;
        for (const QString& keys : {u"ctrl+Home"_qs, u"Down"_qs, u"End"_qs})
            if (!RealApp::pressKeys(keys)) return false;
        return true;
    }

    // Whether the window in front shows the document of that file name.
    static bool inFront(const QString& fileName) {
        QString active;
        return test::xdotool({u"getactivewindow"_qs, u"getwindowname"_qs}, &active) && active.startsWith(fileName);
    }
    // Writer, busy, brings the document it opened last to the front on its own once it is done loading
    // it, at times many seconds later: the document of that file name is put there until it stays
    // there for a while. Whether it is in front.
    static bool keepInFront(const QString& fileName) {
        const bool stays = test::waitUntil(
            [&] {
                return RealApp::bringToFront(u"^"_qs + fileName) &&
                       !test::waitUntil([&] { return !inFront(fileName); }, 3000);
            },
            60000);
        return stays && inFront(fileName);
    }

    // Brings the document of that file name to the front and waits until Writer tells the focus went to
    // a text element of it other than `previous`; that element's identity, empty when none came.
    QString focusInto(const QString& fileName, const QString& previous) {
        QString key;
        // A look takes only an element of the window in front: the document's, unless Writer took the
        // front from it meanwhile, and then the document is put back and looked at again.
        test::waitUntil(
            [&] {
                if (!keepInFront(fileName)) return false;
                key = dictation->focusedTextElement(previous);
                return !key.isEmpty() && inFront(fileName);
            },
            60000);
        return inFront(fileName) ? key : QString();
    }

    // Dictates with the document of that file name in front: the words go there or nowhere, and the
    // other document never gets them. Uses the rig already made, if any.
    // `settled`: first waits until Writer's field holds still (a document just opened is still being
    // laid out under load, and a field that moved is taken for another target).
    void expectTheWordsOnlyIn(const QString& front, const QString& behind, bool settled = true) {
        if (!dictation) startDictation();
        // The document meant to be in front must be there as the key goes down.
        const QString frontName = QFileInfo(front).fileName();
        ASSERT_TRUE(keepInFront(frontName)) << "Writer kept taking the front from " << frontName.toStdString();
        // Writer may take the front again while the field settles: the document is put back each time.
        if (settled) {
            ASSERT_TRUE(test::waitUntil(
                [&] { return keepInFront(frontName) && dictation->focusedFieldHoldsStill() && inFront(frontName); },
                90000))
                << "Writer's field never held still";
        }
        const std::optional<Kind> outcome = dictation->dictate(u"more words"_qs);
        if (outcome) {
            EXPECT_EQ(outcome, Kind::inserted);
            EXPECT_TRUE(savedText(front, u"more words"_qs).contains(u">Cell one more words</text:p>"_qs));
        }
        const QString behindTitle = u"^"_qs + QFileInfo(behind).fileName();
        ASSERT_TRUE(test::xdotool({u"search"_qs, u"--name"_qs, behindTitle, u"windowactivate"_qs, u"--sync"_qs}));
        // Saved only when it changed: its file then shows the words soon.
        const QString saved = savedText(behind, u"more words"_qs, 10000);
        EXPECT_FALSE(saved.contains(u"more words"_qs)) << saved.toStdString();
    }

    QTemporaryDir m_firstFolder, m_secondFolder;
    QString m_firstDocument, m_secondDocument;
    std::unique_ptr<RealApp> m_first, m_second;
};

TEST_F(WriterWithTwoDocuments, TheCaretOfTheOneBehindIsNotTaken) {
    ASSERT_TRUE(openBoth()) << "Writer never showed both documents";
    expectTheWordsOnlyIn(m_secondDocument, m_firstDocument);
}

// The document opened first back in front: the walk through Writer's windows meets the one behind
// first, and its caret must not be taken either.
TEST_F(WriterWithTwoDocuments, WithTheFirstBackInFrontTheCaretOfTheOneBehindIsNotTaken) {
    ASSERT_TRUE(openBoth()) << "Writer never showed both documents";
    ASSERT_TRUE(test::xdotool({u"search"_qs, u"--name"_qs, u"^note.fodt"_qs, u"windowactivate"_qs, u"--sync"_qs}));
    ASSERT_TRUE(RealApp::waitForTitle(u"^note.fodt"_qs, 10000));
    expectTheWordsOnlyIn(m_firstDocument, m_secondDocument);
}

// Hands each look for the focus on to the real inspector, running `beforeLook` first, and keeps the
// identity of every element a look took for the target.
class RecordedLooks final : public FocusedTargetInspecting {
public:
    explicit RecordedLooks(std::shared_ptr<FocusedTargetInspecting> inner) : m_inner(std::move(inner)) {}
    FocusedTargetSnapshot inspect() override { return recorded((before(), m_inner->inspect())); }
    FocusedTargetSnapshot reinspect(const FocusedTargetSnapshot& earlier) override {
        return recorded((before(), m_inner->reinspect(earlier)));
    }
    PasswordFieldLook lookForPasswordField(const FocusedTargetSnapshot* earlier) override {
        PasswordFieldLook look = (before(), m_inner->lookForPasswordField(earlier));
        if (look.focused) recorded(*look.focused);
        return look;
    }
    QCoro::Task<void> awaitFrontApplication(std::stop_token stopToken) override {
        return m_inner->awaitFrontApplication(std::move(stopToken));
    }
    bool answers(const FocusedTargetSnapshot& target) override { return m_inner->answers(target); }

    std::function<void()> beforeLook;
    QStringList taken;

private:
    void before() {
        if (beforeLook) beforeLook();
    }
    FocusedTargetSnapshot recorded(FocusedTargetSnapshot target) {
        if (const AccessibilityElementRef element = elementOf(target.elementHandle))
            taken.append(element->identityKey());
        return target;
    }
    std::shared_ptr<FocusedTargetInspecting> m_inner;
};

// Writer busy as the first document comes back to the front (stopped from before that until the press
// looks for the focus): the newest focus event the app holds at the press still names the paragraph of
// the document now behind, and Writer tells of the front one's focus only while the press reads. No
// look takes that paragraph, and the words go into the document in front or nowhere.
TEST_F(WriterWithTwoDocuments, WriterLateToTellOfTheFocusDoesNotGetTheWordsInTheOneBehind) {
    ASSERT_TRUE(openBoth()) << "Writer never showed both documents";
    std::shared_ptr<RecordedLooks> looks;
    startDictation([&looks](AppBootstrap& services) {
        services.focusedTargetInspector = looks = std::make_shared<RecordedLooks>(services.focusedTargetInspector);
    });
    // Both documents' paragraphs gained the focus while the rig listened, the second's last.
    const QString inFirst = focusInto(u"note.fodt"_qs, {});
    ASSERT_FALSE(inFirst.isEmpty()) << "Writer never told of the first document's focus";
    const QString behind = focusInto(u"second.fodt"_qs, inFirst);
    ASSERT_FALSE(behind.isEmpty()) << "nor of the second's";
    QString pid;
    ASSERT_TRUE(test::xdotool({u"getactivewindow"_qs, u"getwindowpid"_qs}, &pid) && pid.toInt() > 0);
    const pid_t writer = pid.toInt();

    ::kill(writer, SIGSTOP);
    const std::shared_ptr<void> resume(nullptr, [writer](void*) { ::kill(writer, SIGCONT); });
    ASSERT_TRUE(test::xdotool({u"search"_qs, u"--name"_qs, u"^note.fodt"_qs, u"windowactivate"_qs, u"--sync"_qs}));
    looks->beforeLook = [writer] { ::kill(writer, SIGCONT); };
    expectTheWordsOnlyIn(m_firstDocument, m_secondDocument, false);
    EXPECT_FALSE(looks->taken.isEmpty());
    EXPECT_FALSE(looks->taken.contains(behind)) << looks->taken.join(u' ').toStdString();
}

}  // namespace
}  // namespace quorvelle
