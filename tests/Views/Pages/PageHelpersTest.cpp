// The pages' C++ helpers: the history row labels, the rows that keep their delegates across a new
// dictation, the overview tiles and the saved-list search.
#include "Views/Dashboard/History/HistoryEntryBuilder.h"
#include "Views/Dashboard/History/HistoryRows.h"
#include "Views/Dashboard/History/OverviewTiles.h"
#include "Views/Dashboard/Saved/SavedItemSearch.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTimeZone>

#include <limits>

namespace quorvelle::test {
namespace {

const AppStrings kEnglish(QStringLiteral("en"));
const AppStrings kTurkish(QStringLiteral("tr"));

TEST(HistoryEntryLabels, DurationsRoundHalvesUpToAtLeastOneSecond) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "1s"},
        {0.2, "1s"},
        {1.4, "1s"},
        {1.5, "2s"},
        {2.5, "3s"},
        {59.6, "60s"},
        {-4.0, "1s"},
        {std::numeric_limits<double>::quiet_NaN(), "1s"},
        {1e300, "9223372036854774784s"},
    };
    for (const auto& [seconds, label] : cases) {
        SCOPED_TRACE(seconds);
        EXPECT_EQ(HistoryEntryBuilder::durationLabel(seconds), label);
    }
}

TEST(HistoryEntryLabels, WordsKindAndActionFollowTheLanguageAndTheTimeDoesNot) {
    const TranscriptHistoryEntry entry{QUuid::createUuid(),
                                       QDateTime(QDate(2026, 3, 5), QTime(15, 7), QTimeZone::systemTimeZone()),
                                       "hello",
                                       0.4,
                                       1,
                                       TranscriptHistoryCompletionKind::copiedToClipboard};
    const HistoryEntry english = HistoryEntryBuilder::make(entry, kEnglish);
    const HistoryEntry turkish = HistoryEntryBuilder::make(entry, kTurkish);
    EXPECT_EQ(english.id, entry.id);
    EXPECT_EQ(english.transcript, "hello");
    EXPECT_EQ(english.timestampLabel, "Mar 5 AT 3:07 PM");
    EXPECT_EQ(turkish.timestampLabel, english.timestampLabel);
    EXPECT_EQ(english.durationLabel, "1s");
    EXPECT_EQ(std::tuple(english.wordCountLabel, english.completionKindLabel, english.dictionaryActionTitle),
              std::tuple(QString("1 words"), QString("Copied"), QString("Add to Dictionary")));
    EXPECT_EQ(std::tuple(turkish.wordCountLabel, turkish.completionKindLabel, turkish.dictionaryActionTitle),
              std::tuple(QString("1 kelime"), QString("Kopyalandı"), QString("Sözlüğe Ekle")));
}

HistoryEntry row(const char* transcript, QUuid id = QUuid::createUuid()) {
    HistoryEntry entry;
    entry.id = id;
    entry.transcript = QString::fromLatin1(transcript);
    return entry;
}

QStringList transcripts(const HistoryRows& rows) {
    QStringList found;
    for (int index = 0; index < rows.rowCount(); ++index)
        found.append(rows.data(rows.index(index), HistoryRows::TranscriptRole).toString());
    return found;
}

TEST(HistoryRowsModel, InsertsRemovesAndChangesRowsInPlaceAndResetsOnlyOnANewOrder) {
    HistoryRows rows;
    QAbstractItemModelTester tester(&rows, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy resets(&rows, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&rows, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&rows, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&rows, &QAbstractItemModel::dataChanged);
    QSignalSpy counted(&rows, &HistoryRows::countChanged);
    const HistoryEntry b = row("b"), c = row("c"), d = row("d");

    rows.apply({b, c, d});
    rows.apply({row("a"), b, c});  // a new dictation on top, the oldest beyond the limit
    EXPECT_EQ(transcripts(rows), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(inserted.size(), 4);
    EXPECT_EQ(removed.size(), 1);
    EXPECT_EQ(counted.size(), 1);

    rows.apply({row("a2", rows.data(rows.index(0), HistoryRows::IdRole).toUuid()), b, c});
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(transcripts(rows), (QStringList{"a2", "b", "c"}));
    EXPECT_EQ(resets.size(), 0);

    rows.apply({c, b});
    EXPECT_EQ(transcripts(rows), (QStringList{"c", "b"}));
    EXPECT_EQ(resets.size(), 1);
    EXPECT_EQ(rows.data(rows.index(0), HistoryRows::IdRole).toString(), c.id.toString(QUuid::WithoutBraces));
}

TEST(OverviewTileTexts, ShowPlainFiguresWithTheirUnitsInEitherLanguage) {
    const OverviewMetricsSnapshot metrics{12345, 3725, 7, 90};
    const auto texts = [](const QVariantList& tiles, const char* field) {
        QStringList found;
        for (const QVariant& tile : tiles)
            found.append(tile.toMap().value(QLatin1String(field)).toString());
        return found;
    };
    const QVariantList english = OverviewTiles::make(metrics, kEnglish);
    const QVariantList turkish = OverviewTiles::make(metrics, kTurkish);
    EXPECT_EQ(texts(english, "value"), (QStringList{"12345", "3725s", "7", "90 wpm"}));
    EXPECT_EQ(texts(turkish, "value"), (QStringList{"12345", "3725s", "7", "90 k/dk"}));
    EXPECT_EQ(texts(english, "title"), (QStringList{"TOTAL WORDS", "SPEAKING TIME", "SESSIONS", "AVG PACE"}));
    EXPECT_EQ(texts(turkish, "title"), (QStringList{"TOPLAM KELİME", "KONUŞMA SÜRESİ", "OTURUMLAR", "ORT. HIZ"}));
    EXPECT_EQ(texts(turkish, "subtitle"),
              (QStringList{"Transcribe edilen kelime", "Toplam süre", "Toplam kayıt", "Dakikadaki kelime"}));
    EXPECT_EQ(texts(english, "symbolName"), (QStringList{"bolt", "timer", "mic", "waveform"}));
}

TEST(SavedItemSearchMatching, IgnoresCaseKeepsAccentsAndTakesTheQueryAsTyped) {
    struct Case {
        QStringList fields;
        const char* query;
        bool matches;
    };
    const Case cases[] = {
        {{"api key", "x", ""}, "API", true},
        {{"x", "Rapid", ""}, "API", true},
        {{"x", "y", "apis"}, "API", true},
        {{"x", "y", "z"}, "API", false},
        {{"two words", "y"}, " ", true},
        {{"oneword", "y"}, " ", false},
        {{"köln", "y"}, "koln", false},
        {{"KÖLN", "y"}, "köln", true},
        {{"anything"}, "", true},
        {{"api"}, " api", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query);
        EXPECT_EQ(SavedItemSearch::matches(c.fields, QString::fromUtf8(c.query)), c.matches);
    }
}

}  // namespace
}  // namespace quorvelle::test
