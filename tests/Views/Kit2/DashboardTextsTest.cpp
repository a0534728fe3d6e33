#include "Views/Dashboard/Components/DashboardTexts.h"

#include "Models/AppStrings.h"

#include <gtest/gtest.h>

#include <QTimeZone>

namespace quorvelle {
namespace {

QString repeated(const QString& unit, int count) {
    QString text;
    for (int i = 0; i < count; ++i)
        text += unit;
    return text;
}

TEST(DashboardTextsTest, SnippetPreviewCutsAtNinetySixCharactersAndFlattensLineFeeds) {
    const QString e = QStringLiteral("e\u0301");                  // one character, two code units
    const QString flag = QStringLiteral("\U0001F1F9\U0001F1F7");  // one character, four code units
    struct Case {
        const char* name;
        QString expansion;
        QString preview;
    };
    const Case cases[] = {
        {"exactly 96", repeated(QStringLiteral("a"), 96), repeated(QStringLiteral("a"), 96)},
        {"line feeds become spaces", QStringLiteral("Best\nregards\n"), QStringLiteral("Best regards ")},
        {"carriage return is kept", QStringLiteral("a\r\nb"), QStringLiteral("a\r b")},
        {"line feeds count as characters", repeated(QStringLiteral("a\n"), 49),
         repeated(QStringLiteral("a "), 48) + QStringLiteral("...")},
        {"combining marks count once", repeated(e, 97), repeated(e, 96) + QStringLiteral("...")},
        {"flags count once", repeated(flag, 100), repeated(flag, 96) + QStringLiteral("...")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DashboardTexts::snippetExpansionPreview(c.expansion), c.preview) << c.name;
    }
}

TEST(DashboardTextsTest, TermsLoseWhiteSpaceAndLineBreaksAtBothEndsOnly) {
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("\tmy term\n"), QStringLiteral("my term")},
        {QStringLiteral("\u00A0nbsp\u2028"), QStringLiteral("nbsp")},
        {QStringLiteral(" \n\r\t "), QString()},
        {QStringLiteral("inner  space"), QStringLiteral("inner  space")},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(DashboardTexts::trimmedTerm(input), expected) << input.toStdString();
    }
}

TEST(DashboardTextsTest, DatesReadMonthDayYearWithoutLeadingZerosInLocalTime) {
    const QDateTime local(QDate(2024, 3, 5), QTime(12, 0), Qt::LocalTime);
    EXPECT_EQ(DashboardTexts::shortNumericDate(local), QStringLiteral("3/5/2024"));
    // A moment given in another zone is shown on the local calendar.
    const QDateTime utc = local.toUTC();
    EXPECT_EQ(DashboardTexts::shortNumericDate(utc), QStringLiteral("3/5/2024"));
    EXPECT_EQ(DashboardTexts::shortNumericDate(QDateTime()), QString());
}

TEST(DashboardTextsTest, LanguageOptionTextsFollowTheRawValueAndTheInterfaceLanguage) {
    const std::pair<const char*, AppLanguageOption> options[] = {
        {"system", AppLanguageOption::system},
        {"english", AppLanguageOption::english},
        {"turkish", AppLanguageOption::turkish},
        {"klingon", AppLanguageOption::system},
    };
    for (const char* code : {"tr", "de"}) {
        const AppStrings strings{QString::fromLatin1(code)};
        for (const auto& [raw, option] : options) {
            EXPECT_EQ(DashboardTexts::appLanguageOptionTitle(QString::fromLatin1(code), QString::fromLatin1(raw)),
                      strings.appLanguageOptionTitle(option))
                << code << " " << raw;
            EXPECT_EQ(DashboardTexts::appLanguageOptionDescription(QString::fromLatin1(code), QString::fromLatin1(raw)),
                      strings.appLanguageOptionDescription(option))
                << code << " " << raw;
        }
    }
}

TEST(DashboardTextsTest, TranscriptionLanguageTitleTellsAutomaticFromAnEmptyCode) {
    const AppStrings english{QStringLiteral("en")};
    const TranscriptionLanguageOption automatic = TranscriptionLanguageOption::automatic();
    EXPECT_EQ(DashboardTexts::transcriptionLanguageTitle(QStringLiteral("en"), QVariant(), QStringLiteral("x")),
              english.transcriptionLanguageTitle(automatic));
    EXPECT_EQ(DashboardTexts::transcriptionLanguageTitle(QStringLiteral("en"), QVariant::fromValue(nullptr),
                                                         QStringLiteral("x")),
              english.transcriptionLanguageTitle(automatic));
    EXPECT_EQ(
        DashboardTexts::transcriptionLanguageTitle(QStringLiteral("en"), QVariant(QString()), QStringLiteral("German")),
        QStringLiteral("German ()"));
    EXPECT_EQ(
        DashboardTexts::transcriptionLanguageTitle(QStringLiteral("tr"), QVariant(QStringLiteral("de")),
                                                   QStringLiteral("German")),
        AppStrings(QStringLiteral("tr")).transcriptionLanguageTitle({QStringLiteral("de"), QStringLiteral("German")}));
}

TEST(DashboardTextsTest, LocalizedPicksTurkishOnlyForExactlyTr) {
    const std::pair<const char*, const char*> cases[] = {
        {"tr", "Sil"}, {"en", "Delete"}, {"TR", "Delete"}, {"tr-TR", "Delete"}, {"", "Delete"}};
    for (const auto& [code, expected] : cases) {
        EXPECT_EQ(DashboardTexts::localized(QString::fromLatin1(code), QStringLiteral("Delete"), QStringLiteral("Sil")),
                  QString::fromUtf8(expected))
            << code;
    }
}

}  // namespace
}  // namespace quorvelle
