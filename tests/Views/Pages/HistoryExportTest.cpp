// The history's CSV export from the store's file to the place the user chose: the replacement is
// atomic, a failure leaves the old file and is reported, a folder is never replaced, and a
// transcript that a spreadsheet would run as a formula is written as text.
#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"
#include "Services/Storage/TranscriptHistoryCsv.h"
#include "StorageFakes.h"
#include "Views/Dashboard/History/HistoryExporter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

namespace quorvelle::test {
namespace {

const QDateTime kNow(QDate(2026, 12, 5), QTime(16, 32, 40), QTimeZone::utc());

class ScriptedChooser final : public SaveLocationChoosing {
public:
    std::optional<QString> answer;
    QStringList suggestions;

    std::optional<QString> chooseSaveLocation(const QString& suggestedName) override {
        suggestions.append(suggestedName);
        return answer;
    }
};

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class HistoryExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkdir("out"));
        ASSERT_TRUE(QDir(dir.path()).mkdir("export"));
        ApplicationSupportTranscriptHistoryStore::Options options;
        options.directory = dir.filePath("history");
        options.exportDirectory = dir.filePath("export");
        options.now = [] { return kNow; };
        store = std::make_unique<ApplicationSupportTranscriptHistoryStore>(options);
        store->save({entry("=HYPERLINK(\"http://evil.test\")"), entry("plain words")});
    }
    static TranscriptHistoryEntry entry(const QString& transcript) {
        return {QUuid::createUuid(), kNow, transcript, 1.5, 2, TranscriptHistoryCompletionKind::inserted};
    }
    QString target(const char* name) const { return dir.filePath(QStringLiteral("out/") + QLatin1String(name)); }
    std::optional<QString> run(TranscriptHistoryStoring& from, const char* language = "en") {
        return HistoryExporter::run(from, chooser, AppStrings(QString::fromLatin1(language)));
    }

    QTemporaryDir dir;
    std::unique_ptr<ApplicationSupportTranscriptHistoryStore> store;
    ScriptedChooser chooser;
};

TEST(TranscriptHistoryCsvCells, FormulaStartsAreQuotedAndOtherCellsKept) {
    const std::pair<QString, QString> cases[] = {
        {"=1+1", "'=1+1"},         {"+31 555", "'+31 555"},   {"-minus", "'-minus"}, {"@mention", "'@mention"},
        {"\tindent", "'\tindent"}, {"\rreturn", "'\rreturn"}, {"a=b", "a=b"},        {"", ""},
        {" =spaced", " =spaced"},
    };
    for (const auto& [cell, expected] : cases) {
        SCOPED_TRACE(cell.toStdString());
        EXPECT_EQ(TranscriptHistoryCsv::neutralized(cell), expected);
    }
    const TranscriptHistoryEntry quoted{
        QUuid::createUuid(), kNow, "=\"x\",y", 2.0, 1, TranscriptHistoryCompletionKind::copiedToClipboard};
    EXPECT_EQ(TranscriptHistoryCsv::row(quoted), "2026-12-05T16:32:40Z,\"'=\"\"x\"\",y\",2.00,1,copiedToClipboard");
}

TEST_F(HistoryExportTest, ReplacesAnExistingFileInOneStepWithTheNeutralizedHistory) {
    writeFile(target("history.csv"), "old contents");
    chooser.answer = target("history.csv");
    EXPECT_EQ(run(*store), std::nullopt);
    EXPECT_EQ(chooser.suggestions, QStringList{"quorvelle-history-2026-12-05.csv"});
    const QByteArray written = contentsOf(target("history.csv"));
    EXPECT_TRUE(written.startsWith(TranscriptHistoryCsv::header)) << written.toStdString();
    EXPECT_TRUE(written.contains(",\"'=HYPERLINK(\"\"http://evil.test\"\")\",")) << written.toStdString();
    EXPECT_TRUE(written.contains(",\"plain words\","));
    // Nothing of the replacement is left beside it.
    EXPECT_EQ(QDir(dir.filePath("out")).entryList(QDir::Files), QStringList{"history.csv"});
}

TEST_F(HistoryExportTest, ACancelledDialogWritesNothingAndSaysNothing) {
    EXPECT_EQ(run(*store), std::nullopt);
    EXPECT_EQ(chooser.suggestions.size(), 1);
    EXPECT_TRUE(QDir(dir.filePath("out")).isEmpty());
}

TEST_F(HistoryExportTest, EveryFailureIsReportedAndLeavesTheOldFileOrFolderAsItWas) {
    writeFile(target("keep.csv"), "old contents");
    writeFile(dir.filePath("not-a-folder"), "a file");
    ASSERT_TRUE(QDir(dir.filePath("out")).mkdir("folder.csv"));
    writeFile(target("folder.csv/inside.txt"), "inside");

    // The exported file went missing before the copy: the old file must not be gone.
    FakeTranscriptHistoryStore vanished;
    vanished.exportAnswer.setFallback(dir.filePath("export/missing.csv"));
    chooser.answer = target("keep.csv");
    const auto unreadable = run(vanished);
    ASSERT_TRUE(unreadable);
    EXPECT_TRUE(unreadable->startsWith("The history could not be exported: ")) << unreadable->toStdString();
    EXPECT_EQ(contentsOf(target("keep.csv")), "old contents");

    // A place that cannot hold a file (its parent is a file), in Turkish.
    chooser.answer = dir.filePath("not-a-folder/history.csv");
    const auto unwritable = run(*store, "tr");
    ASSERT_TRUE(unwritable);
    EXPECT_TRUE(unwritable->startsWith(QStringLiteral("Geçmiş dışa aktarılamadı: "))) << unwritable->toStdString();
    EXPECT_EQ(contentsOf(dir.filePath("not-a-folder")), "a file");

    // A folder is refused, never removed or replaced.
    chooser.answer = target("folder.csv");
    const auto folder = run(*store);
    ASSERT_TRUE(folder);
    EXPECT_EQ(*folder, "A folder cannot be replaced by the export. Choose a file name.");
    EXPECT_EQ(contentsOf(target("folder.csv/inside.txt")), "inside");
}

TEST_F(HistoryExportTest, AStoreThatCannotWriteItsFileFailsBeforeTheDialog) {
    writeFile(dir.filePath("not-a-folder"), "a file");
    ApplicationSupportTranscriptHistoryStore::Options options;
    options.directory = dir.filePath("history");
    options.exportDirectory = dir.filePath("not-a-folder/export");
    ApplicationSupportTranscriptHistoryStore blocked(options);
    const auto message = run(blocked);
    ASSERT_TRUE(message);
    EXPECT_TRUE(message->startsWith("The history could not be exported: ")) << message->toStdString();
    EXPECT_TRUE(chooser.suggestions.isEmpty());
}

}  // namespace
}  // namespace quorvelle::test
