// The history's CSV export from the store's file to the place the user chose: the replacement is
// atomic, a failure leaves the old file and is reported, a folder is never replaced, and a
// transcript that a spreadsheet would run as a formula is written as text.
#include "../../Services/Storage/StorageTestSupport.h"
#include "FakeBootstrap.h"
#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"
#include "Services/Storage/TranscriptHistoryCsv.h"
#include "StorageFakes.h"
#include "ViewModel/AppViewModel.h"
#include "Views/Dashboard/History/HistoryExporter.h"

#include <gtest/gtest.h>

#include <QCoroTask>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimeZone>

namespace quorvelle::test {
namespace {

const QDateTime kNow(QDate(2026, 12, 5), QTime(16, 32, 40), QTimeZone::utc());

struct ScriptedChooser final : SaveLocationChoosing {
    std::optional<QString> answer;
    QStringList suggestions;
    std::optional<QString> chooseSaveLocation(const QString& suggestedName) override {
        suggestions.append(suggestedName);
        return answer;
    }
};

class HistoryExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(dir.path()).mkpath("out/folder.csv") && QDir(dir.path()).mkdir("export"));
        ASSERT_TRUE(writeAll(dir.filePath("out/folder.csv/inside.txt"), "inside"));
        ASSERT_TRUE(writeAll(dir.filePath("out/keep.csv"), "old contents"));
        ASSERT_TRUE(writeAll(dir.filePath("not-a-folder"), "a file"));
        store = makeStore("export");
        const auto entry = [](const char* transcript) {
            return TranscriptHistoryEntry{QUuid::createUuid(), kNow, transcript, 1.5, 2, {}};
        };
        store->save({entry("=HYPERLINK(\"http://evil.test\")"), entry("plain words")});
    }
    std::shared_ptr<ApplicationSupportTranscriptHistoryStore> makeStore(const char* exportFolder) {
        ApplicationSupportTranscriptHistoryStore::Options options;
        options.directory = dir.filePath("history");
        options.exportDirectory = dir.filePath(QString::fromLatin1(exportFolder));
        options.now = [] { return kNow; };
        return std::make_shared<ApplicationSupportTranscriptHistoryStore>(options);
    }
    std::optional<QString> run(std::shared_ptr<TranscriptHistoryStoring> from, const char* answer,
                               const char* language = "en") {
        chooser->answer = answer ? std::optional(dir.filePath(QString::fromLatin1(answer))) : std::nullopt;
        return QCoro::waitFor(
            HistoryExporter::run(std::move(from), chooser, AppStrings(QString::fromLatin1(language))));
    }

    QTemporaryDir dir;
    std::shared_ptr<ApplicationSupportTranscriptHistoryStore> store;
    std::shared_ptr<ScriptedChooser> chooser = std::make_shared<ScriptedChooser>();
};

TEST(TranscriptHistoryCsvCells, FormulaStartsAreQuotedAndOtherCellsKept) {
    const std::pair<QString, QString> cases[] = {
        {"=1+1", "'=1+1"},         {"+31 555", "'+31 555"},   {"-minus", "'-minus"}, {"@mention", "'@mention"},
        {"\tindent", "'\tindent"}, {"\rreturn", "'\rreturn"}, {"a=b", "a=b"},        {"", ""},
        {" =spaced", " =spaced"},
    };
    for (const auto& [cell, expected] : cases)
        EXPECT_EQ(TranscriptHistoryCsv::neutralized(cell), expected);
}

TEST_F(HistoryExportTest, ReplacesAnExistingFileInOneStepWithTheNeutralizedHistoryOrNothingOnACancel) {
    EXPECT_EQ(run(store, nullptr), std::nullopt);
    EXPECT_EQ(run(store, "out/keep.csv"), std::nullopt);
    EXPECT_EQ(chooser->suggestions, QStringList(2, "quorvelle-history-2026-12-05.csv"));
    const QByteArray written = readAll(dir.filePath("out/keep.csv"));
    EXPECT_TRUE(written.startsWith(TranscriptHistoryCsv::header)) << written.toStdString();
    EXPECT_TRUE(written.contains(",\"'=HYPERLINK(\"\"http://evil.test\"\")\",")) << written.toStdString();
    EXPECT_TRUE(written.contains(",\"plain words\","));
    // Nothing of the replacement is left beside it.
    EXPECT_EQ(QDir(dir.filePath("out")).entryList(QDir::Files), QStringList{"keep.csv"});
}

TEST_F(HistoryExportTest, EveryFailureIsReportedAndLeavesTheOldFileOrFolderAsItWas) {
    // The exported file went missing before the copy: the old file must not be gone.
    auto vanished = std::make_shared<FakeTranscriptHistoryStore>();
    vanished->exportAnswer.setFallback(dir.filePath("export/missing.csv"));
    const auto unreadable = run(vanished, "out/keep.csv");
    ASSERT_TRUE(unreadable);
    EXPECT_TRUE(unreadable->startsWith("The history could not be exported: ")) << unreadable->toStdString();
    EXPECT_EQ(readAll(dir.filePath("out/keep.csv")), "old contents");

    // A place that cannot hold a file (its parent is a file), in Turkish.
    const auto unwritable = run(store, "not-a-folder/history.csv", "tr");
    ASSERT_TRUE(unwritable);
    EXPECT_TRUE(unwritable->startsWith(QStringLiteral("Geçmiş dışa aktarılamadı: "))) << unwritable->toStdString();
    EXPECT_EQ(readAll(dir.filePath("not-a-folder")), "a file");

    // A folder is refused, never removed or replaced.
    EXPECT_EQ(run(store, "out/folder.csv"), "A folder cannot be replaced by the export. Choose a file name.");
    EXPECT_EQ(readAll(dir.filePath("out/folder.csv/inside.txt")), "inside");

    // The store cannot write its own file: no dialog, and the old file stays.
    const auto blocked = run(makeStore("not-a-folder/export"), "out/keep.csv");
    ASSERT_TRUE(blocked);
    EXPECT_TRUE(blocked->startsWith("The history could not be exported: ")) << blocked->toStdString();
    EXPECT_EQ(chooser->suggestions.size(), 3);
    EXPECT_EQ(readAll(dir.filePath("out/keep.csv")), "old contents");
}

// The window's thread is never held by the files: the export returns at once, the user is asked
// only once the file is made, and a second click meanwhile starts nothing.
TEST_F(HistoryExportTest, TheExportRunsOffTheWindowsThreadOneAtATime) {
    FakeBootstrap fakes;
    AppBootstrap services = fakes.bootstrap();
    services.transcriptHistoryStore = store;
    AppViewModel viewModel(services, fakes.environment());
    ASSERT_EQ(viewModel.history()->transcriptHistoryEntries().size(), 2);  // read by the save in SetUp
    HistoryExporter exporter;
    exporter.setViewModel(&viewModel);
    exporter.setSaveLocationChooser(chooser);
    chooser->answer = dir.filePath("out/new.csv");
    QSignalSpy busy(&exporter, &HistoryExporter::busyChanged);

    exporter.exportHistoryCSV();
    exporter.exportHistoryCSV();
    EXPECT_TRUE(chooser->suggestions.isEmpty());
    EXPECT_TRUE(exporter.isBusy());
    ASSERT_TRUE(busy.wait());
    EXPECT_FALSE(exporter.isBusy());
    EXPECT_EQ(chooser->suggestions.size(), 1);
    EXPECT_TRUE(readAll(dir.filePath("out/new.csv")).contains(",\"plain words\","));
    EXPECT_EQ(exporter.message(), "");
}

// The store's file is a whole copy of the history: it goes when the export does not complete (a
// cancel, a failure), at the next start when the run ended during one, and with the history.
TEST_F(HistoryExportTest, NoCopyOfTheHistoryIsLeftBehindAnUnfinishedExport) {
    const auto exports = [&] { return QDir(dir.filePath("export")).entryList(QDir::Files); };
    EXPECT_EQ(run(store, nullptr), std::nullopt);
    EXPECT_EQ(exports(), QStringList());
    EXPECT_TRUE(run(store, "out/folder.csv"));
    EXPECT_TRUE(run(store, "not-a-folder/history.csv"));
    EXPECT_EQ(exports(), QStringList());

    EXPECT_EQ(run(store, "out/new.csv"), std::nullopt);
    EXPECT_EQ(exports(), QStringList{"quorvelle-history-2026-12-05.csv"});
    store->clear();
    EXPECT_EQ(exports(), QStringList());

    // Left by a run that ended while the dialog was open; other files there are not the store's.
    ASSERT_TRUE(writeAll(dir.filePath("export/quorvelle-history-2026-11-30.csv"), "a copy"));
    ASSERT_TRUE(writeAll(dir.filePath("export/notes.csv"), "not a copy"));
    makeStore("export")->loadEntries();
    EXPECT_EQ(exports(), QStringList{"notes.csv"});
}

}  // namespace
}  // namespace quorvelle::test
