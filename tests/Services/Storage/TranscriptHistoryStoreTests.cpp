#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"
#include "Services/Storage/TranscriptHistoryCsv.h"
#include "Services/Storage/TranscriptHistoryExportError.h"
#include "StorageTestSupport.h"
#include "Support/JsonCoding.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimeZone>

#include <ctime>

namespace quorvelle {
namespace {

using test::modeOf;
using test::readAll;
using test::writeAll;

const QDateTime kNow = QDateTime(QDate(2026, 12, 5), QTime(16, 32, 40), QTimeZone::utc());

TranscriptHistoryEntry makeEntry(qint64 secondsBeforeNow, QString transcript, double duration = 1.0,
                                 TranscriptHistoryCompletionKind kind = TranscriptHistoryCompletionKind::inserted) {
    return TranscriptHistoryEntry{
        QUuid::createUuid(), kNow.addSecs(-secondsBeforeNow), std::move(transcript), duration, 3, kind};
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const QByteArray& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        qputenv(name, value);
        tzset();
    }
    ~ScopedEnvironment() {
        if (m_had) {
            qputenv(m_name, m_old);
        } else {
            qunsetenv(m_name);
        }
        tzset();
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

class TranscriptHistoryStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QDateTime now = kNow;

    ApplicationSupportTranscriptHistoryStore makeStore(QString exportDirectory = {}) {
        if (exportDirectory.isEmpty()) exportDirectory = dir.filePath(QStringLiteral("export"));
        QDir().mkpath(exportDirectory);
        return ApplicationSupportTranscriptHistoryStore(
            {dir.filePath(QStringLiteral("History")), exportDirectory, [this] { return now; }});
    }
    QString historyPath() const { return dir.filePath(QStringLiteral("History/transcript-history.json")); }
    QStringList asideFiles() const {
        return QDir(dir.filePath(QStringLiteral("History")))
            .entryList({QStringLiteral("transcript-history.json.corrupt-*")}, QDir::Files);
    }
};

TEST_F(TranscriptHistoryStoreTest, SavedEntriesComeBackNewestFirstFromASortedPrettyFile) {
    auto store = makeStore();
    const auto oldest = makeEntry(300, QStringLiteral("oldest"));
    const auto newest =
        makeEntry(0, QStringLiteral("newest"), 2.5, TranscriptHistoryCompletionKind::pasteSentUnverified);
    const auto middle = makeEntry(100, QStringLiteral("middle"));
    store.save({middle, oldest, newest});

    EXPECT_EQ(makeStore().loadEntries(), (QList<TranscriptHistoryEntry>{newest, middle, oldest}));

    EXPECT_EQ(modeOf(historyPath()), 0600);
    const QByteArray file = readAll(historyPath());
    EXPECT_TRUE(file.contains("\n    {\n"));                                    // pretty-printed
    EXPECT_LT(file.indexOf("\"completedAt\""), file.indexOf("\"wordCount\""));  // sorted keys
    const QJsonObject first = QJsonDocument::fromJson(file).array().first().toObject();
    EXPECT_EQ(first.value(QStringLiteral("completionKind")).toString(), QStringLiteral("pasteSentUnverified"));
}

TEST_F(TranscriptHistoryStoreTest, WithoutAHistoryFileLoadingIsEmptyAndTheExportIsTheHeaderAlone) {
    auto store = makeStore();
    EXPECT_TRUE(store.loadEntries().isEmpty());
    const QString path = store.exportCSV();
    EXPECT_EQ(QFileInfo(path).fileName(), QStringLiteral("quorvelle-history-2026-12-05.csv"));
    EXPECT_EQ(readAll(path), QByteArray("completed_at,transcript,duration_seconds,word_count,completion_kind"));
}

TEST_F(TranscriptHistoryStoreTest, ExportQuotesTranscriptsAndFormatsEachColumn) {
    auto store = makeStore();
    store.save({
        makeEntry(0, QStringLiteral("He said \"hi, there\""), 3.14159, TranscriptHistoryCompletionKind::inserted),
        makeEntry(60, QStringLiteral("two\nlines"), 2, TranscriptHistoryCompletionKind::pastedViaClipboard),
        makeEntry(120, QString(), 0.004, TranscriptHistoryCompletionKind::inserted),
        makeEntry(180, QStringLiteral("Çok güzel ✓"), 12.345678, TranscriptHistoryCompletionKind::copiedToClipboard),
    });
    const QString csv = QString::fromUtf8(readAll(store.exportCSV()));
    EXPECT_EQ(csv, QStringLiteral("completed_at,transcript,duration_seconds,word_count,completion_kind\n"
                                  "2026-12-05T16:32:40Z,\"He said \"\"hi, there\"\"\",3.14,3,inserted\n"
                                  "2026-12-05T16:31:40Z,\"two\nlines\",2.00,3,pastedViaClipboard\n"
                                  "2026-12-05T16:30:40Z,\"\",0.00,3,inserted\n"
                                  "2026-12-05T16:29:40Z,\"Çok güzel ✓\",12.35,3,copiedToClipboard"));
}

TEST_F(TranscriptHistoryStoreTest, TheExportIsNamedWithTheLocalDateWhileTimesStayInUtc) {
    const ScopedEnvironment zone("TZ", "XST+05");  // five hours behind UTC
    auto store = makeStore();
    now = QDateTime(QDate(2026, 12, 6), QTime(4, 30), QTimeZone::utc());  // 23:30 on the 5th, locally
    store.save({TranscriptHistoryEntry{QUuid::createUuid(), now, QStringLiteral("late"), 1, 1,
                                       TranscriptHistoryCompletionKind::inserted}});
    const QString path = store.exportCSV();
    EXPECT_EQ(QFileInfo(path).fileName(), QStringLiteral("quorvelle-history-2026-12-05.csv"));
    EXPECT_TRUE(readAll(path).endsWith("\n2026-12-06T04:30:00Z,\"late\",1.00,1,inserted"));
}

TEST_F(TranscriptHistoryStoreTest, TheExportGoesToAPrivateFolderOfTheUser) {
    QTemporaryDir runtime;
    const ScopedEnvironment runtimeDir("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    ApplicationSupportTranscriptHistoryStore store(
        {dir.filePath(QStringLiteral("History")), QString(), [this] { return now; }});
    store.save({makeEntry(0, QStringLiteral("private words"))});

    const QString path = store.exportCSV();
    const QFileInfo folder(QFileInfo(path).absolutePath());
    EXPECT_EQ(folder.absoluteFilePath(), QDir(runtime.path()).filePath(QStringLiteral("com.dovent.Quorvelle")));
    EXPECT_EQ(modeOf(folder.absoluteFilePath()), 0700);
    EXPECT_EQ(modeOf(path), 0600);
    // A second export the same day replaces the first.
    store.save({makeEntry(0, QStringLiteral("replaced"))});
    EXPECT_EQ(store.exportCSV(), path);
    EXPECT_TRUE(readAll(path).contains("replaced"));
}

TEST_F(TranscriptHistoryStoreTest, AnUndecodableHistoryIsNeverExportedAsEmptyNorOverwritten) {
    const std::vector<std::pair<const char*, QByteArray>> damaged = {
        {"truncated JSON", "[\n  {\"completedAt\": 1"},
        {"an entry without its word count", R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","completedAt":10,)"
                                            R"("transcript":"t","durationSeconds":1,"completionKind":"inserted"}])"},
    };
    for (const auto& [what, bytes] : damaged) {
        SCOPED_TRACE(what);
        QDir(dir.filePath(QStringLiteral("History"))).removeRecursively();
        auto store = makeStore();
        ASSERT_TRUE(writeAll(historyPath(), bytes));

        EXPECT_TRUE(store.loadEntries().isEmpty());
        try {
            store.exportCSV();
            ADD_FAILURE() << "the export of an undecodable history succeeded";
        } catch (const TranscriptHistoryExportError& error) {
            EXPECT_EQ(error.errorCase(), TranscriptHistoryExportErrorCase::historyUnreadable);
            EXPECT_EQ(error.path(), historyPath());
        }
        EXPECT_EQ(readAll(historyPath()), bytes);
        EXPECT_TRUE(asideFiles().isEmpty());

        // The next dictation keeps the damaged file beside the new history.
        const auto entry = makeEntry(0, QStringLiteral("new"));
        store.save({entry});
        ASSERT_EQ(asideFiles(), QStringList{QStringLiteral("transcript-history.json.corrupt-20261205T163240Z")});
        EXPECT_EQ(readAll(dir.filePath(QStringLiteral("History/") + asideFiles().first())), bytes);
        EXPECT_EQ(store.loadEntries(), QList<TranscriptHistoryEntry>{entry});
    }

    // Every name for the damaged copy taken, so it cannot be moved aside: the save leaves it alone.
    QDir(dir.filePath(QStringLiteral("History"))).removeRecursively();
    auto store = makeStore();
    const QString aside = historyPath() + QStringLiteral(".corrupt-20261205T163240Z");
    for (int attempt = 1; attempt <= 100; ++attempt)
        ASSERT_TRUE(writeAll(attempt == 1 ? aside : aside + QLatin1Char('-') + QString::number(attempt), "older"));
    ASSERT_TRUE(writeAll(historyPath(), damaged.front().second));
    store.save({makeEntry(0, QStringLiteral("new"))});
    EXPECT_EQ(readAll(historyPath()), damaged.front().second);
    EXPECT_EQ(asideFiles().size(), 100);
}

TEST_F(TranscriptHistoryStoreTest, AHistoryDamagedAfterItWasReadIsStillSetAside) {
    auto store = makeStore();
    const auto first = makeEntry(10, QStringLiteral("first"));
    store.save({first});
    ASSERT_EQ(store.loadEntries().size(), 1);

    // Rewritten in place by someone else: same file, other content.
    ASSERT_TRUE(writeAll(historyPath(), "[1, 2, 3]"));
    store.save({makeEntry(0, QStringLiteral("second")), first});
    ASSERT_EQ(asideFiles().size(), 1);
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("History/") + asideFiles().first())), QByteArray("[1, 2, 3]"));
    EXPECT_EQ(store.loadEntries().size(), 2);
}

TEST_F(TranscriptHistoryStoreTest, WhatIsOnDiskWinsOverWhatTheStoreLastSaw) {
    auto store = makeStore();
    auto other = makeStore();
    auto entry = makeEntry(10, QStringLiteral("first words"));
    store.save({entry});
    ASSERT_EQ(store.loadEntries(), QList<TranscriptHistoryEntry>{entry});

    // Another writer replaces the file: the store reads the new one, in loading and exporting.
    const auto fromElsewhere = makeEntry(0, QStringLiteral("written elsewhere"));
    other.save({fromElsewhere, entry});
    EXPECT_EQ(store.loadEntries(), (QList<TranscriptHistoryEntry>{fromElsewhere, entry}));
    EXPECT_TRUE(readAll(store.exportCSV()).contains("written elsewhere"));

    // An entry changed under the same id is written with its new content.
    entry.transcript = QStringLiteral("corrected words");
    entry.wordCount = 2;
    store.save({entry});
    EXPECT_EQ(makeStore().loadEntries(), QList<TranscriptHistoryEntry>{entry});

    store.clear();
    EXPECT_TRUE(other.loadEntries().isEmpty());
}

TEST_F(TranscriptHistoryStoreTest, WriteFailuresLeaveNoTraceOrThrowTheExportError) {
    ASSERT_TRUE(writeAll(dir.filePath(QStringLiteral("blocker")), "a regular file"));
    ApplicationSupportTranscriptHistoryStore unwritable({dir.filePath(QStringLiteral("blocker/History")),
                                                         dir.filePath(QStringLiteral("blocker/export")),
                                                         [this] { return now; }});
    EXPECT_NO_THROW(unwritable.save({makeEntry(0, QStringLiteral("lost"))}));
    EXPECT_TRUE(unwritable.loadEntries().isEmpty());
    EXPECT_NO_THROW(unwritable.clear());
    try {
        unwritable.exportCSV();
        ADD_FAILURE() << "the export into a missing folder succeeded";
    } catch (const TranscriptHistoryExportError& error) {
        EXPECT_EQ(error.errorCase(), TranscriptHistoryExportErrorCase::writeFailed);
        EXPECT_TRUE(error.path().endsWith(QStringLiteral("blocker/export/quorvelle-history-2026-12-05.csv")));
    }
}

}  // namespace
}  // namespace quorvelle
