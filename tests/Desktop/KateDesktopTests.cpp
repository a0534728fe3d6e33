// Kate, KDE's text editor (Qt 5), as a user has it. Its focus events name a cell of its hidden list of
// documents again and again (focused, focusable, not showing), also while the hot key is held; the
// editor itself (focused, editable, showing) is named only now and then. The words go to the editor
// of the document shown, with one document open or two.
#include "Platform/Linux/AtspiElement.h"
#include "RealAppDictation.h"
#include "Services/Delivery/ElementHandleStorage.h"
#include "Services/Delivery/FocusedTargetInspectionError.h"
#include "TestEventLoop.h"

#include <atspi/atspi.h>

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using Kind = TranscriptHistoryCompletionKind;
using test::RealApp;

bool writeFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Whether the element claims the focus, as its application tells it now.
bool claimsFocusNow(const AccessibilityElementRef& element) {
    const auto atspi = std::dynamic_pointer_cast<AtspiElement>(element);
    AtspiStateSet* states = atspi ? atspi_accessible_get_state_set(atspi->accessible()) : nullptr;
    const bool focused = states && atspi_state_set_contains(states, ATSPI_STATE_FOCUSED);
    if (states) g_object_unref(states);
    return focused;
}

class KateDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        if (qgetenv("QUORVELLE_DESKTOP_ENV") != "1") GTEST_SKIP() << "needs scripts/desktop-test-env";
        if (QStandardPaths::findExecutable(u"kate"_qs).isEmpty())
            GTEST_SKIP() << "Kate is not installed (scripts/install-deps installs it)";
        ASSERT_TRUE((dictation = std::make_unique<test::RealAppDictation>())->isReady());
    }
    QString path(const QString& name) const { return dictation->folder.path() + u'/' + name; }

    // Kate in a new instance on these documents (the last one shown), in front; null when it never showed.
    std::unique_ptr<RealApp> kateOn(const QList<std::pair<QString, QByteArray>>& documents) {
        QStringList arguments{u"-n"_qs};
        for (const auto& [name, contents] : documents) {
            if (!writeFile(path(name), contents)) return nullptr;
            arguments << path(name);
        }
        return RealApp::launch(u"kate"_qs, arguments, u'^' + QRegularExpression::escape(documents.last().first));
    }
    // Saves the document shown; the file's text once it holds `words` (or after the wait).
    QByteArray saved(const QString& name, const char* words) {
        RealApp::pressKeys(u"ctrl+s"_qs);
        QByteArray contents;
        test::waitUntil([&] { return (contents = readFile(path(name))).contains(words); }, 30000);
        return contents.trimmed();
    }
    // The words went into the editor, written or pasted and read back.
    static bool landed(std::optional<Kind> outcome) {
        return outcome == Kind::inserted || outcome == Kind::pastedViaClipboard;
    }

    std::unique_ptr<test::RealAppDictation> dictation;
};

TEST_F(KateDesktop, TheShownDocumentTakesEachDictation) {
    const auto kate = kateOn({{u"note.txt"_qs, "Note:"}});
    ASSERT_TRUE(kate) << "Kate never showed the document";
    ASSERT_FALSE(dictation->focusedTextElement().isEmpty()) << "the editor never showed as focused";
    ASSERT_TRUE(RealApp::pressKeys(u"ctrl+End"_qs));

    EXPECT_TRUE(landed(dictation->dictate(u"hello world"_qs)));
    EXPECT_TRUE(landed(dictation->dictate(u"again"_qs, /*slowBackend=*/true)));

    EXPECT_EQ(saved(u"note.txt"_qs, "again"), "Note: hello world again");
}

TEST_F(KateDesktop, WithTwoDocumentsOpenTheShownOneTakesTheWords) {
    const auto kate = kateOn({{u"first.txt"_qs, "First:"}, {u"second.txt"_qs, "Second:"}});
    ASSERT_TRUE(kate) << "Kate never showed the documents";
    ASSERT_FALSE(dictation->focusedTextElement().isEmpty()) << "the editor never showed as focused";
    ASSERT_TRUE(RealApp::pressKeys(u"ctrl+End"_qs));

    EXPECT_TRUE(landed(dictation->dictate(u"hello world"_qs)));

    EXPECT_EQ(saved(u"second.txt"_qs, "hello"), "Second: hello world");
    EXPECT_EQ(readFile(path(u"first.txt"_qs)), "First:");
}

// While the hot key is held Kate names new cells of its hidden lists as focused (three or four since
// its editor last gained the focus, some gone or cut off from their list moments later) and, now and
// then, drops its editor's focused state: a press read a moment late (as a person's, who holds Control
// and Alt before the key, is) must still find the editor. Each of many dictations in a row, under
// whatever load the machine has, lands in the shown document.
TEST_F(KateDesktop, WithTwoDocumentsOpenEachOfManyDictationsLands) {
    const auto kate = kateOn({{u"first.txt"_qs, "First:"}, {u"second.txt"_qs, "Second:"}});
    ASSERT_TRUE(kate) << "Kate never showed the documents";
    ASSERT_FALSE(dictation->focusedTextElement().isEmpty()) << "the editor never showed as focused";
    ASSERT_TRUE(RealApp::pressKeys(u"ctrl+End"_qs));

    QStringList words;
    // What a press a moment later reads, when it reads an element: the editor, never an element that
    // takes no text. (A read that finds the focus on its way back, or only the window, is left aside.)
    QStringList otherReads;
    const auto readsTheEditor = [&] {
        try {
            const FocusedTargetSnapshot target = dictation->delivery->inspector().inspect();
            if (!target.isWindowOnly && !target.element.isEditable)
                otherReads << target.element.role.value_or(u"-"_qs) + u' ' + target.element.title.value_or(u"-"_qs);
        } catch (const FocusedTargetInspectionError&) {
        }
    };
    for (int index = 0; index < 12; ++index) {
        const QString word = u"w"_qs + QString::number(index);
        EXPECT_TRUE(landed(dictation->dictate(word, index % 4 == 1, nullptr, readsTheEditor))) << word.toStdString();
        words << word;
    }

    EXPECT_TRUE(otherReads.isEmpty()) << otherReads.join(u", "_qs).toStdString();
    EXPECT_EQ(saved(u"second.txt"_qs, "w11"), "Second: " + words.join(u' ').toUtf8());
    EXPECT_EQ(readFile(path(u"first.txt"_qs)), "First:");
}

// The search bar's field, opened below the document, is the newest text the user moved to: the words
// go there, and the document, whose editor no longer claims the focus, keeps its text. Now and then
// Kate itself hands its focus back to the editor as the hot key takes the keyboard moments after the
// bar opened (the field then no longer claims the focus, the editor does): the words rightly go to the
// editor then, and the round is run again in a new Kate.
TEST_F(KateDesktop, TheSearchFieldTakesTheWordsAndTheDocumentKeepsItsText) {
    constexpr int kMaximumRounds = 3;
    for (int round = 1; round <= kMaximumRounds; ++round) {
        const auto kate = kateOn({{u"first.txt"_qs, "First:"}, {u"second.txt"_qs, "Second:"}});
        ASSERT_TRUE(kate) << "Kate never showed the documents";
        ASSERT_FALSE(dictation->focusedTextElement().isEmpty()) << "the editor never showed as focused";
        ASSERT_TRUE(RealApp::pressKeys(u"ctrl+f"_qs));
        // The bar's field takes one line; the editor, many.
        AccessibilityElementRef field;
        ASSERT_TRUE(test::waitUntil(
            [&] {
                const auto target = dictation->focusedTextTarget();
                if (target && target->element.role == u"AXTextField"_qs) field = elementOf(target->elementHandle);
                return field != nullptr;
            },
            30000))
            << "the search field never showed as focused";

        const auto outcome = dictation->dictate(u"hello"_qs);
        if (!claimsFocusNow(field) && round < kMaximumRounds) continue;
        EXPECT_TRUE(landed(outcome));

        ASSERT_TRUE(RealApp::pressKeys(u"Escape"_qs));
        RealApp::pressKeys(u"ctrl+s"_qs);
        // Saved only when it changed: its file then shows the words soon.
        EXPECT_FALSE(test::waitUntil([&] { return readFile(path(u"second.txt"_qs)).contains("hello"); }, 5000));
        EXPECT_EQ(readFile(path(u"second.txt"_qs)).trimmed(), "Second:");
        return;
    }
}

}  // namespace
}  // namespace quorvelle
