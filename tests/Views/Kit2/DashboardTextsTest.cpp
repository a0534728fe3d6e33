#include "Views/Dashboard/Components/DashboardTexts.h"
#include "Views/Dashboard/Components/HistoryTimestampFormatter.h"

#include "Models/AppStrings.h"

#include <gtest/gtest.h>

#include <QTimeZone>

namespace quorvelle {
namespace {

TEST(DashboardTextsTest, SnippetPreviewCutsAtNinetySixCharactersAndFlattensLineFeeds) {
    const QString e = QStringLiteral("e\u0301");                  // one character, two code units
    const QString flag = QStringLiteral("\U0001F1F9\U0001F1F7");  // one character, four code units
    // Exactly 96 is kept; line feeds become spaces and count; combining marks and flags count once.
    const std::pair<QString, QString> cases[] = {
        {QString(96, 'a'), QString(96, 'a')},
        {"Best\nregards\n", "Best regards "},
        {QString("a\n").repeated(49), QString("a ").repeated(48) + "..."},
        {e.repeated(97), e.repeated(96) + "..."},
        {flag.repeated(100), flag.repeated(96) + "..."},
    };
    for (const auto& [expansion, preview] : cases)
        EXPECT_EQ(DashboardTexts::snippetExpansionPreview(expansion), preview) << expansion.toStdString();
}

TEST(DashboardTextsTest, DatesAndLanguageTitlesReadTheValuesAsGiven) {
    const QDateTime local(QDate(2024, 3, 5), QTime(12, 0), Qt::LocalTime);
    // A moment given in another zone is shown on the local calendar.
    EXPECT_EQ(DashboardTexts::shortNumericDate(local.toUTC()), "3/5/2024");
    EXPECT_EQ(DashboardTexts::shortNumericDate(QDateTime()), QString());

    // A stored language the app does not know reads as the system's.
    EXPECT_EQ(DashboardTexts::appLanguageOptionTitle("tr", "klingon"),
              AppStrings("tr").appLanguageOptionTitle(AppLanguageOption::system));

    // Automatic (no code, null or undefined) is not an empty code.
    const QString automatic = AppStrings("en").transcriptionLanguageTitle(TranscriptionLanguageOption::automatic());
    EXPECT_EQ(DashboardTexts::transcriptionLanguageTitle("en", QVariant(), "x"), automatic);
    EXPECT_EQ(DashboardTexts::transcriptionLanguageTitle("en", QVariant::fromValue(nullptr), "x"), automatic);
    EXPECT_EQ(DashboardTexts::transcriptionLanguageTitle("en", QString(), "German"), "German ()");
}

TEST(HistoryTimestamps, UseEnglishMonthsTwelveHourClockAndLocalTime) {
    // Istanbul is three hours ahead of UTC all year: the label is in the user's zone.
    const QByteArray savedZone = qgetenv("TZ");
    qputenv("TZ", "Europe/Istanbul");
    const std::pair<QDateTime, const char*> cases[] = {
        {QDateTime({2026, 3, 5}, {15, 7}), "Mar 5 AT 3:07 PM"},
        {QDateTime({2026, 1, 12}, {0, 5}).toUTC(), "Jan 12 AT 12:05 AM"},
        {QDateTime({2026, 6, 1}, {21, 15}, QTimeZone::utc()), "Jun 2 AT 12:15 AM"},
    };
    for (const auto& [moment, expected] : cases)
        EXPECT_EQ(HistoryTimestampFormatter::format(moment), QLatin1String(expected));
    savedZone.isEmpty() ? qunsetenv("TZ") : qputenv("TZ", savedZone);
}

}  // namespace
}  // namespace quorvelle
