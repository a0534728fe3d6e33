// The history is read in the background from the store's construction: whatever the caller does
// while that runs must come out as if the store had read the file first.
#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"
#include "StorageTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTimeZone>

#include <functional>

namespace quorvelle {
namespace {

using test::readAll;
using test::writeAll;

const QDateTime kNow = QDateTime(QDate(2026, 12, 6), QTime(9, 15), QTimeZone::utc());
// Large enough that decoding it takes far longer than the first call after construction.
constexpr int kEntryCount = 10'000;

TranscriptHistoryEntry entryAt(int minutesAgo, const QString& transcript) {
    return TranscriptHistoryEntry{QUuid::createUuid(),
                                  kNow.addSecs(-60 * minutesAgo),
                                  transcript,
                                  2.5,
                                  4,
                                  TranscriptHistoryCompletionKind::inserted};
}

class TranscriptHistoryWarmUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < kEntryCount; ++i)
            stored.append(entryAt(i + 1, QStringLiteral("dictation number %1").arg(i)));
        makeStore().save(stored);
        storedBytes = readAll(historyPath());
    }

    ApplicationSupportTranscriptHistoryStore makeStore() {
        return ApplicationSupportTranscriptHistoryStore(
            {dir.filePath(QStringLiteral("History")), dir.filePath(QStringLiteral("export")), [] { return kNow; }});
    }
    QString historyPath() const { return dir.filePath(QStringLiteral("History/transcript-history.json")); }
    QStringList asideFiles() const {
        return QDir(dir.filePath(QStringLiteral("History")))
            .entryList({QStringLiteral("transcript-history.json.corrupt-*")}, QDir::Files);
    }

    QTemporaryDir dir;
    QList<TranscriptHistoryEntry> stored;
    QByteArray storedBytes;
};

TEST_F(TranscriptHistoryWarmUpTest, CallsRacingTheWarmUpLoseNothing) {
    struct Case {
        const char* what;
        bool damaged;  // else the history saved in SetUp
        std::function<QList<TranscriptHistoryEntry>(ApplicationSupportTranscriptHistoryStore&,
                                                    QList<TranscriptHistoryEntry>)>
            act;  // returns the history expected afterwards
        int asideCount;
    };
    const std::vector<Case> cases = {
        {"an append that also corrects an older entry", false,
         [](auto& store, auto history) {
             history[3].transcript = QStringLiteral("corrected while the file was still being read");
             history.prepend(entryAt(0, QStringLiteral("the newest words")));
             store.save(history);
             return history;
         },
         0},
        {"a clear", false,
         [](auto& store, auto) {
             store.clear();
             return QList<TranscriptHistoryEntry>{};
         },
         0},
        {"a save over a damaged file", true,
         [](auto& store, auto) {
             const QList<TranscriptHistoryEntry> fresh{entryAt(0, QStringLiteral("first after the damage"))};
             store.save(fresh);
             return fresh;
         },
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(dir.filePath(QStringLiteral("History"))).removeRecursively();
        QDir().mkpath(dir.filePath(QStringLiteral("History")));
        // A damaged file as long as the good one, cut off before its end.
        const QByteArray before = c.damaged ? storedBytes.left(storedBytes.size() - 10) : storedBytes;
        ASSERT_TRUE(writeAll(historyPath(), before));

        auto store = makeStore();
        const QList<TranscriptHistoryEntry> expected = c.act(store, stored);
        EXPECT_EQ(store.loadEntries(), expected);
        EXPECT_EQ(makeStore().loadEntries(), expected);
        ASSERT_EQ(asideFiles().size(), c.asideCount);
        if (c.asideCount > 0) {
            EXPECT_EQ(readAll(dir.filePath(QStringLiteral("History/") + asideFiles().first())), before);
        }
    }
}

TEST_F(TranscriptHistoryWarmUpTest, AFileReplacedWhileItWasReadIsReadAgain) {
    auto store = makeStore();
    const QList<TranscriptHistoryEntry> replacement{entryAt(0, QStringLiteral("written by another copy"))};
    makeStore().save(replacement);
    EXPECT_EQ(store.loadEntries(), replacement);
    // A store whose background read finished long ago reads the file as it is now as well.
    auto settled = makeStore();
    ASSERT_EQ(settled.loadEntries(), replacement);
    makeStore().save(stored);
    EXPECT_EQ(settled.loadEntries(), stored);
}

}  // namespace
}  // namespace quorvelle
