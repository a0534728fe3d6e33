// The texts the settings and release-notes pages derive: model rows by state and language, the
// language search and the release headings and dates.
#include "Views/Dashboard/Pages/LocalModelRowTexts.h"
#include "Views/Dashboard/Pages/ReleaseNoteTexts.h"
#include "Views/Dashboard/Pages/SettingsPageModel.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

const AppStrings kEnglish(QStringLiteral("en"));
const AppStrings kTurkish(QStringLiteral("tr"));

LocalModelStatus status(LocalTranscriptionModelID id, LocalModelInstallState state, bool selected = false) {
    return {id, localModelDescriptor(id), std::move(state), selected};
}

LocalModelInstallState installed() {
    return LocalModelInstallState::installed(LocalModelInstallationRecord{});
}

TEST(LocalModelRowTextsTest, EachStateHasItsBadgeAndButtonsInBothLanguages) {
    using M = LocalTranscriptionModelID;
    struct Case {
        LocalModelStatus status;
        const char* english[3];  // badge, primary, secondary ("" for none)
        const char* turkish[3];
    };
    const Case cases[] = {
        {status(M::baseMultilingual, installed(), true),
         {"Installed", "Selected", "Delete"},
         {"Kuruldu", "Seçili", "Sil"}},
        {status(M::baseMultilingual, installed()), {"Installed", "Select", "Delete"}, {"Kuruldu", "Seç", "Sil"}},
        {status(M::tinyMultilingual, LocalModelInstallState::failed("disk full")),
         {"Retry needed", "Retry", ""},
         {"Tekrar deneme gerekli", "Tekrar Dene", ""}},
        {status(M::tinyMultilingual, LocalModelInstallState::notInstalled()),
         {"Download required", "Download", ""},
         {"İndirme gerekli", "İndir", ""}},
        {status(M::largeV3, LocalModelInstallState::downloading()),
         {"Downloading", "Cancel", ""},
         {"İndiriliyor", "İptal", ""}},
    };
    for (const Case& c : cases) {
        for (const auto& [strings, expected] : {std::pair{kEnglish, c.english}, std::pair{kTurkish, c.turkish}}) {
            SCOPED_TRACE(expected[0]);
            const LocalModelRowTexts row = LocalModelRowTexts::of(c.status, strings);
            EXPECT_EQ(row.badge, QString::fromUtf8(expected[0]));
            EXPECT_EQ(row.primaryActionTitle, QString::fromUtf8(expected[1]));
            EXPECT_EQ(row.secondaryActionTitle.value_or(QString()), QString::fromUtf8(expected[2]));
        }
    }
}

TEST(LocalModelRowTextsTest, TurkishHasItsOwnDescriptionsTagsAndWarningsEnglishTakesTheCatalogue) {
    const LocalModelStatus large = status(LocalTranscriptionModelID::largeV3, LocalModelInstallState::notInstalled());
    const LocalModelRowTexts english = LocalModelRowTexts::of(large, kEnglish);
    EXPECT_EQ(english.subtitle, large.descriptor.subtitle);
    EXPECT_EQ(english.tags, large.descriptor.tags);
    EXPECT_EQ(english.warningText, "Yaklasik 2.9 GiB disk ister. Daha guclu cihazlarda daha rahattir.");

    const LocalModelRowTexts turkish = LocalModelRowTexts::of(large, kTurkish);
    EXPECT_EQ(turkish.subtitle, "En yüksek kalite. En ağır model; ilk yükleme ve transcription daha uzun sürebilir.");
    EXPECT_EQ(turkish.tags, (QStringList{"En iyi kalite", "Çok Dilli", "En Büyük"}));
    EXPECT_EQ(turkish.warningText, "Yaklaşık 2.9 GiB disk ister. Daha güçlü cihazlarda daha rahattır.");

    const LocalModelStatus medium =
        status(LocalTranscriptionModelID::mediumMultilingual, LocalModelInstallState::notInstalled());
    EXPECT_EQ(LocalModelRowTexts::of(medium, kTurkish).warningText,
              "Daha yüksek RAM ve daha uzun yükleme süresi bekleyin.");
    const LocalModelStatus tiny = status(LocalTranscriptionModelID::tinyMultilingual, installed());
    EXPECT_FALSE(LocalModelRowTexts::of(tiny, kTurkish).warningText);
    EXPECT_FALSE(LocalModelRowTexts::of(tiny, kEnglish).warningText);

    // Only exact keys are translated; any code but "tr" keeps every tag.
    EXPECT_EQ(LocalModelRowTexts::localizedTag("fast", kTurkish), "fast");
    EXPECT_EQ(LocalModelRowTexts::localizedTag("Unknown", kTurkish), "Unknown");
    EXPECT_EQ(LocalModelRowTexts::localizedTag("Fast", AppStrings(QString())), "Fast");
}

QStringList ids(const QList<TranscriptionLanguageOption>& options) {
    QStringList result;
    for (const auto& option : options)
        result << option.id();
    return result;
}

TEST(LanguageFilterTest, SearchesCodesNamesAndTheInterfaceLanguagesTitles) {
    const auto all = TranscriptionLanguageOption::supportedOptions();
    EXPECT_EQ(SettingsPageModel::filteredLanguageOptions(" \n\t", kEnglish), all);
    EXPECT_EQ(SettingsPageModel::filteredLanguageOptions("EN", kEnglish),
              SettingsPageModel::filteredLanguageOptions("en", kEnglish));
    EXPECT_TRUE(ids(SettingsPageModel::filteredLanguageOptions("en eng", kEnglish)).contains("en"));
    EXPECT_TRUE(SettingsPageModel::filteredLanguageOptions("qqqq", kEnglish).isEmpty());

    // The Turkish titles are searchable only in the Turkish interface.
    EXPECT_EQ(ids(SettingsPageModel::filteredLanguageOptions("türk", kTurkish)), QStringList{"tr"});
    EXPECT_EQ(ids(SettingsPageModel::filteredLanguageOptions("otomatik", kTurkish)), QStringList{"auto"});
    EXPECT_TRUE(ids(SettingsPageModel::filteredLanguageOptions("ingilizce", kTurkish)).contains("en"));
    EXPECT_TRUE(SettingsPageModel::filteredLanguageOptions("türk", kEnglish).isEmpty());
    EXPECT_TRUE(SettingsPageModel::filteredLanguageOptions("otomatik", kEnglish).isEmpty());
}

TEST(ReleaseNoteTextsTest, KnownCategoriesAreTranslatedOthersUpperCasedWithoutTheLocale) {
    struct Case {
        const char* label;
        const char* english;
        const char* turkish;
    };
    const Case cases[] = {
        {"Added", "ADDED", "EKLENDİ"},
        {"Changed", "CHANGED", "DEĞİŞTİ"},
        {"Fixed", "FIXED", "DÜZELTİLDİ"},
        {"added", "ADDED", "ADDED"},
        {"Security fix", "SECURITY FIX", "SECURITY FIX"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReleaseNoteTexts::categoryHeading(c.label, "en"), QString::fromUtf8(c.english)) << c.label;
        EXPECT_EQ(ReleaseNoteTexts::categoryHeading(c.label, "tr"), QString::fromUtf8(c.turkish)) << c.label;
    }
}

TEST(ReleaseNoteTextsTest, TheDateIsAMediumDateInTheInterfaceLanguage) {
    // Midday UTC: the same day in every zone within eleven hours.
    const QDateTime released(QDate(2026, 3, 5), QTime(12, 0), Qt::UTC);
    EXPECT_EQ(ReleaseNoteTexts::releaseDate(released, "en"), "Mar 5, 2026");
    EXPECT_EQ(ReleaseNoteTexts::releaseDate(released, "tr"), "5 Mar 2026");
    EXPECT_EQ(ReleaseNoteTexts::releaseDate(QDateTime(QDate(2026, 8, 20), QTime(12, 0), Qt::UTC), "tr"), "20 Ağu 2026");
    EXPECT_EQ(ReleaseNoteTexts::releaseDate(QDateTime(), "en"), "");
}

}  // namespace
}  // namespace quorvelle::test
