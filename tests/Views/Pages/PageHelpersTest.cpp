// The pages' C++ helpers: the duration label, the history rows and the saved-list search.
#include "Views/Dashboard/History/HistoryEntryBuilder.h"
#include "Views/Dashboard/History/HistoryRows.h"
#include "Views/Dashboard/Saved/SavedItemSearch.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <limits>

namespace quorvelle::test {
namespace {

TEST(HistoryEntryLabels, DurationsRoundHalvesUpToAtLeastOneSecond) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::pair<double, const char*> cases[] = {{0.0, "1s"},  {0.2, "1s"}, {1.4, "1s"},
                                                    {1.5, "2s"},  {2.5, "3s"}, {59.6, "60s"},
                                                    {-4.0, "1s"}, {nan, "1s"}, {1e300, "9223372036854774784s"}};
    for (const auto& [seconds, label] : cases)
        EXPECT_EQ(HistoryEntryBuilder::durationLabel(seconds), label) << seconds;
}

HistoryEntry row(const char* transcript, QUuid id = QUuid::createUuid()) {
    HistoryEntry entry;
    std::tie(entry.id, entry.transcript) = std::tuple(id, QString::fromLatin1(transcript));
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
    QSignalSpy inserted(&rows, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&rows, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&rows, &QAbstractItemModel::dataChanged);
    const HistoryEntry b = row("b"), c = row("c"), d = row("d");

    rows.apply({b, c, d});
    rows.apply({row("a"), b, c});  // a new dictation on top, the oldest beyond the limit
    EXPECT_EQ(transcripts(rows), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(inserted.size(), 4);
    EXPECT_EQ(removed.size(), 1);

    rows.apply({row("a2", rows.data(rows.index(0), HistoryRows::IdRole).toUuid()), b, c});
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(transcripts(rows), (QStringList{"a2", "b", "c"}));

    rows.apply({c, b});  // a new order
    EXPECT_EQ(transcripts(rows), (QStringList{"c", "b"}));
}

TEST(SavedItemSearchMatching, IgnoresCaseKeepsAccentsAndTakesTheQueryAsTyped) {
    const std::tuple<QStringList, const char*, bool> cases[] = {
        {{"x", "y", "apis"}, "API", true}, {{"two words", "y"}, " ", true}, {{"oneword", "y"}, " ", false},
        {{"köln", "y"}, "koln", false},    {{"KÖLN", "y"}, "köln", true},   {{"api"}, " api", false},
    };
    for (const auto& [fields, query, matches] : cases)
        EXPECT_EQ(SavedItemSearch::matches(fields, QString::fromUtf8(query)), matches) << query;
}

}  // namespace
}  // namespace quorvelle::test
