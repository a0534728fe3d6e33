// Kate, KDE's text editor (Qt 5), as a user has it. Its focus events name a cell of its hidden list of
// documents again and again (focused, focusable, not showing), also while the hot key is held; the
// editor itself (focused, editable, showing) is named only now and then. The words go to the editor
// of the document shown, with one document open or two.
#include "RealAppDictation.h"
#include "TestEventLoop.h"

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

}  // namespace
}  // namespace quorvelle
