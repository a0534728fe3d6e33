// The dashboard's small display helpers: section symbols, presets, timestamps, version.
#include "Views/Common/SymbolTable.h"
#include "Views/Dashboard/Components/AppVersion.h"
#include "Views/Dashboard/Components/DashboardSections.h"
#include "Views/Dashboard/Components/HistoryTimestampFormatter.h"
#include "Views/Dashboard/Components/InstructionPreset.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSet>
#include <QTimeZone>

namespace quorvelle {
namespace {

TEST(SectionSymbols, AreDistinctAndAllDrawable) {
    QStringList symbols;
    for (MainWindowSection section : allMainWindowSections())
        symbols << symbolName(section);
    for (const QString& symbol : symbols)
        EXPECT_TRUE(SymbolTable::glyphName(symbol)) << symbol.toStdString();
    EXPECT_EQ(QSet<QString>(symbols.begin(), symbols.end()).size(), 10);
}

TEST(InstructionPresetParsing, MatchesRawValuesExactly) {
    const struct {
        const char* raw;
        std::optional<InstructionPreset> expected;
    } cases[] = {
        {"default", InstructionPreset::default_},
        {"Default", std::nullopt},
        {" professional", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fromRawValue<InstructionPreset>(QString::fromLatin1(c.raw)), c.expected) << c.raw;
    }
}

class HistoryTimestamps : public ::testing::Test {
protected:
    void SetUp() override {
        savedZone = qgetenv("TZ");
        // A zone with daylight saving, to show the label is in local time.
        qputenv("TZ", "Europe/Istanbul");
    }
    void TearDown() override {
        if (savedZone.isEmpty())
            qunsetenv("TZ");
        else
            qputenv("TZ", savedZone);
    }
    QByteArray savedZone;
};

TEST_F(HistoryTimestamps, UseEnglishMonthsTwelveHourClockAndLocalTime) {
    const struct {
        QDate date;
        QTime time;
        const char* expected;
    } cases[] = {
        {{2026, 3, 5}, {15, 7}, "Mar 5 AT 3:07 PM"},
        {{2026, 1, 12}, {0, 5}, "Jan 12 AT 12:05 AM"},
    };
    for (const auto& c : cases) {
        const QDateTime local(c.date, c.time);
        EXPECT_EQ(HistoryTimestampFormatter::format(local), QLatin1String(c.expected));
        // The same moment given in UTC reads the same, in the user's zone.
        EXPECT_EQ(HistoryTimestampFormatter::format(local.toUTC()), QLatin1String(c.expected));
    }
    // Istanbul is three hours ahead of UTC all year.
    const QDateTime utc(QDate(2026, 6, 1), QTime(21, 15), QTimeZone::utc());
    EXPECT_EQ(HistoryTimestampFormatter::format(utc), QStringLiteral("Jun 2 AT 12:15 AM"));
}

TEST(AppVersionString, FallsBackWhenTheApplicationHasNoVersion) {
    const QString saved = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(QString());
    EXPECT_EQ(appVersionString(), QStringLiteral("1.0.0"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.3.1"));
    EXPECT_EQ(appVersionString(), QStringLiteral("2.3.1"));
    QCoreApplication::setApplicationVersion(saved);
}

}  // namespace
}  // namespace quorvelle
