// The texts the settings and release-notes pages derive: model rows in Turkish (each state's
// English texts are checked on the settings page), the language search, release headings and dates.
#include "Views/Dashboard/Pages/LocalModelRowTexts.h"
#include "Views/Dashboard/Pages/ReleaseNoteTexts.h"
#include "Views/Dashboard/Pages/SettingsPageModel.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

const AppStrings kEnglish(QStringLiteral("en"));
const AppStrings kTurkish(QStringLiteral("tr"));

TEST(LocalModelRowTextsTest, TurkishHasItsOwnTextsTagsAndWarningsEnglishTakesTheCatalogue) {
    const LocalTranscriptionModelID id = LocalTranscriptionModelID::largeV3;
    const LocalModelStatus large{id, localModelDescriptor(id), LocalModelInstallState::notInstalled(), false};
    EXPECT_EQ(LocalModelRowTexts::of(large, kEnglish).tags, large.descriptor.tags);
    const LocalModelRowTexts turkish = LocalModelRowTexts::of(large, kTurkish);
    EXPECT_EQ(QStringList({turkish.badge, turkish.primaryActionTitle}), (QStringList{"İndirme gerekli", "İndir"}));
    EXPECT_EQ(turkish.tags, (QStringList{"En iyi kalite", "Çok Dilli", "En Büyük"}));
    // Only exact keys are translated.
    EXPECT_EQ(LocalModelRowTexts::localizedTag("fast", kTurkish), "fast");
}

TEST(LanguageFilterTest, SearchesCodesNamesAndTheInterfaceLanguagesTitles) {
    const auto ids = [](const char* query, const AppStrings& strings) {
        QStringList result;
        for (const auto& option : SettingsPageModel::filteredLanguageOptions(QString::fromUtf8(query), strings))
            result << option.id();
        return result;
    };
    EXPECT_EQ(ids(" \n\t", kEnglish).size(), TranscriptionLanguageOption::supportedOptions().size());
    EXPECT_EQ(ids("EN", kEnglish), ids("en", kEnglish));
    EXPECT_TRUE(ids("en eng", kEnglish).contains("en"));
    EXPECT_TRUE(ids("qqqq", kEnglish).isEmpty());
    // The Turkish titles are searchable only in the Turkish interface.
    EXPECT_EQ(ids("otomatik", kTurkish), QStringList{"auto"});
    EXPECT_TRUE(ids("ingilizce", kTurkish).contains("en"));
    EXPECT_TRUE(ids("türk", kEnglish).isEmpty() && ids("otomatik", kEnglish).isEmpty());
}

TEST(ReleaseNoteTextsTest, HeadingsAreUpperCasedWithoutTheLocaleAndDatesAreInTheInterfaceLanguage) {
    // Only exact known labels are translated; the rest never takes the Turkish dotted İ.
    EXPECT_EQ(ReleaseNoteTexts::categoryHeading("Added", "tr"), "EKLENDİ");
    EXPECT_EQ(ReleaseNoteTexts::categoryHeading("added", "tr"), "ADDED");
    EXPECT_EQ(ReleaseNoteTexts::categoryHeading("Security fix", "tr"), "SECURITY FIX");
    // Midday UTC: the same day in every zone within eleven hours.
    EXPECT_EQ(ReleaseNoteTexts::releaseDate(QDateTime(QDate(2026, 3, 5), QTime(12, 0), Qt::UTC), "en"), "Mar 5, 2026");
    EXPECT_EQ(ReleaseNoteTexts::releaseDate(QDateTime(QDate(2026, 8, 20), QTime(12, 0), Qt::UTC), "tr"), "20 Ağu 2026");
    EXPECT_EQ(ReleaseNoteTexts::releaseDate(QDateTime(), "en"), "");
}

}  // namespace
}  // namespace quorvelle::test
