#include "ViewHarness.h"

#include "Models/AppStrings.h"
#include "Views/Dashboard/Components/DesktopThemePalette.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

struct CardKind {
    const char* name;
    const char* qml;  // the card's own fields; %1 is isSelected
};

const CardKind kCards[] = {
    {"appearance-option",
     "AppearanceOptionCard { title: 'Current widget'; subtitle: 'The pill with status and levels.'; "
     "preview: 'currentWidget'; isSelected: %1"},
    {"theme-option",
     "ThemeOptionCard { title: 'Light'; subtitle: 'Bright and clear.'; palette: DesktopTheme.lightPalette; isSelected: "
     "%1"},
    {"language-option", "AppLanguageOptionCard { language: 'turkish'; languageCode: 'en'; isSelected: %1"},
};

QString cardScene(const CardKind& kind, bool selected) {
    return loggedScene(QString::fromUtf8(kind.qml).arg(selected ? "true" : "false") +
                       "\n  objectName: 'card'; x: 24; y: 24; width: 260\n"
                       "  callback: function() { scene.note('pick') }\n}\n");
}

TEST(OptionCardViews, SelectedCardsFillGlowAndCarryTheCheckAndAClickAnywhereCallsTheAction) {
    ViewHarness harness;
    harness.setTheme(Theme::Quorvelle);
    const DesktopThemeColors colors = harness.colors();
    for (const CardKind& kind : kCards) {
        for (const bool selected : {false, true}) {
            SCOPED_TRACE(std::string(kind.name) + (selected ? " selected" : ""));
            ASSERT_TRUE(harness.load(cardScene(kind, selected), {308, 300}));
            const QColor fill = selected ? colors.selectedCardFill : colors.cardFill;
            EXPECT_COLOR_NEAR(harness.item("option-card-background")->property("color").value<QColor>(), fill);
            harness.grab();
            EXPECT_EQ(harness.shows("option-card-glow"), selected);
            EXPECT_EQ(harness.shows("option-card-check"), selected);
            EXPECT_EQ(harness.shows("idle-pill-miniature"), kind.name == std::string("appearance-option"));
            if (QQuickItem* miniature = harness.find("theme-miniature")) {
                // The theme card draws its own palette, not the active theme's.
                EXPECT_COLOR_NEAR(harness.colorAt(miniature, {miniature->width() - 4, miniature->height() / 2}),
                                  DesktopThemePalette::light().background);
            }
            if (QQuickItem* badge = harness.find("language-badge")) {
                // The language badge inverts on a selected card.
                EXPECT_COLOR_NEAR(harness.colorAt(badge, {19, 5}),
                                  over(selected ? colors.primaryButtonFill : colors.inputBackground, fill));
            }
            harness.shootInEveryTheme("kit2-" + std::string(kind.name) + (selected ? "-selected" : ""));
        }
        QQuickItem* card = harness.item("card");
        for (const char* part : {"option-card-check", "option-title", "option-subtitle"})
            harness.click(harness.item(part));
        harness.click(card, {card->width() / 2, card->height() / 2});
        EXPECT_EQ(harness.log(), QStringList(4, "pick")) << kind.name;
    }
    // The appearance card's miniature follows its preview.
    EXPECT_TRUE(harness.load("AppearanceOptionCard { width: 260; title: 'Widget'; preview: 'logoOnly' }"));
    harness.grab();
    EXPECT_TRUE(harness.shows("logo-miniature"));
    EXPECT_FALSE(harness.shows("idle-pill-miniature"));
}

TEST(OptionCardViews, LanguageCardsShowTheirBadgeCaptionAndTextsInTheInterfaceLanguage) {
    const std::tuple<const char*, AppLanguageOption, const char*, const char*> options[] = {
        {"system", AppLanguageOption::system, "A", "SYSTEM"},
        {"english", AppLanguageOption::english, "EN", "ENGLISH"},
        {"turkish", AppLanguageOption::turkish, "TR", "TURKISH"},
    };
    ViewHarness harness;
    const AppStrings strings("tr");
    for (const auto& [raw, option, badge, caption] : options) {
        SCOPED_TRACE(raw);
        ASSERT_TRUE(harness.load(
            QStringLiteral("AppLanguageOptionCard { width: 260; language: '%1'; languageCode: 'tr' }").arg(raw)));
        EXPECT_EQ(harness.text("language-badge-code"), badge);
        EXPECT_EQ(harness.text("language-caption"), caption);
        EXPECT_EQ(harness.text("option-title"), strings.appLanguageOptionTitle(option));
        EXPECT_EQ(harness.text("option-subtitle"), strings.appLanguageOptionDescription(option));
    }
}

}  // namespace
}  // namespace quorvelle::test
