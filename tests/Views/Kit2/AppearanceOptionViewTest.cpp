#include "KitScene.h"

#include "Models/AppStrings.h"
#include "Views/Dashboard/Components/DesktopThemePalette.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

struct CardKind {
    const char* name;
    const char* qml;  // the card's own fields; %1 is isSelected
    double badgeInset;
};

const CardKind kCards[] = {
    {"appearance-option",
     "AppearanceOptionCard { title: 'Current widget'; subtitle: 'The pill with status and levels.'; "
     "preview: 'currentWidget'; isSelected: %1",
     14},
    {"theme-option",
     "ThemeOptionCard { title: 'Quorvelle'; subtitle: 'Deep blue with warm accents.'; "
     "palette: DesktopTheme.quorvellePalette; isSelected: %1",
     12},
    {"language-option", "AppLanguageOptionCard { language: 'turkish'; languageCode: 'en'; isSelected: %1", 12},
};

QString cardScene(const CardKind& kind, bool selected) {
    return loggedScene(QString::fromUtf8(kind.qml).arg(selected ? QStringLiteral("true") : QStringLiteral("false")) +
                       QStringLiteral("\n  objectName: 'card'; x: 24; y: 24; width: 260\n"
                                      "  callback: function() { scene.note('pick') }\n}\n"));
}

using OptionCardThemes = KitThemedTest;

TEST_P(OptionCardThemes, SelectedCardsFillOutlineGlowAndCarryTheCheck) {
    const DesktopThemeColors colors = this->colors();
    for (const CardKind& kind : kCards) {
        for (const bool selected : {false, true}) {
            SCOPED_TRACE(std::string(kind.name) + (selected ? " selected" : ""));
            ASSERT_TRUE(loadThemed(cardScene(kind, selected), {308, 300}));
            QQuickItem* card = item(QStringLiteral("card"));
            QQuickItem* background = item(QStringLiteral("option-card-background"));
            const QColor fill = selected ? colors.selectedCardFill : colors.cardFill;
            EXPECT_COLOR_NEAR(background->property("color").value<QColor>(), fill);
            EXPECT_COLOR_NEAR(borderOf(background), selected ? colors.selectedCardBorder : colors.inputBorder);
            harness.grab();
            EXPECT_COLOR_NEAR(harness.colorAt(card, {4, card->height() - 20}), fill);
            EXPECT_EQ(shown(harness, QStringLiteral("option-card-glow")), selected);
            EXPECT_EQ(shown(harness, QStringLiteral("option-card-check")), selected);
            QQuickItem* check = item(QStringLiteral("option-card-check"));
            EXPECT_EQ(check->mapToItem(card, {check->width(), 0}),
                      QPointF(card->width() - kind.badgeInset, kind.badgeInset));
            if (selected) {
                EXPECT_COLOR_NEAR(harness.colorAt(check, {4, 11}), over(colors.primaryButtonFill, fill));
            }
            if (QQuickItem* miniature = harness.find(QStringLiteral("theme-miniature"))) {
                // The theme card draws its own palette, not the active theme's.
                EXPECT_COLOR_NEAR(harness.colorAt(miniature, {miniature->width() - 4, miniature->height() / 2}),
                                  DesktopThemePalette::quorvelle().background);
            }
            if (QQuickItem* badge = harness.find(QStringLiteral("language-badge"))) {
                // The language badge inverts on a selected card.
                EXPECT_COLOR_NEAR(harness.colorAt(badge, {19, 5}),
                                  over(selected ? colors.primaryButtonFill : colors.inputBackground, fill));
                EXPECT_COLOR_NEAR(item(QStringLiteral("language-badge-code"))->property("color").value<QColor>(),
                                  selected ? colors.darkButtonText : colors.primaryText);
            }
            shootKit(std::string(kind.name) + (selected ? "-selected" : ""));
        }
    }
}

// For the contact sheet: the theme card with the light miniature, on each theme.
TEST_P(OptionCardThemes, ThemeCardWithTheLightPaletteRenders) {
    ASSERT_TRUE(
        loadThemed(QStringLiteral("ThemeOptionCard { x: 24; y: 24; width: 260; title: 'Light'\n"
                                  "  subtitle: 'A theme'; isSelected: true; palette: DesktopTheme.lightPalette }"),
                   {308, 280}));
    shootKit("theme-option-light-palette");
}

TEST(OptionCardViewTest, AClickAnywhereOnACardCallsItsActionEveryTime) {
    ViewHarness harness;
    for (const CardKind& kind : kCards) {
        SCOPED_TRACE(kind.name);
        ASSERT_TRUE(harness.load(cardScene(kind, true), {308, 300}));
        harness.grab();
        QQuickItem* card = harness.find(QStringLiteral("card"));
        harness.click(harness.find(QStringLiteral("option-card-check")));
        harness.click(harness.find(QStringLiteral("option-title")));
        harness.click(harness.find(QStringLiteral("option-subtitle")));
        harness.click(card, {card->width() / 2, card->height() / 2});
        EXPECT_EQ(callLog(harness), QStringList(4, QStringLiteral("pick")));
    }
}

using AppearanceOptionCardThemes = KitThemedTest;

TEST_P(AppearanceOptionCardThemes, MiniatureFollowsThePreview) {
    const DesktopThemeColors colors = this->colors();
    for (const char* preview : {"currentWidget", "logoOnly"}) {
        SCOPED_TRACE(preview);
        const bool pill = std::string(preview) == "currentWidget";
        ASSERT_TRUE(loadThemed(QStringLiteral("AppearanceOptionCard {\n"
                                              "  objectName: 'card'; x: 24; y: 24; width: 260\n"
                                              "  title: 'Widget'; subtitle: 'Idle look'\n"
                                              "  preview: '%1'; isSelected: false }\n")
                                   .arg(QString::fromLatin1(preview)),
                               {308, 260}));
        harness.grab();
        EXPECT_EQ(shown(harness, QStringLiteral("idle-pill-miniature")), pill);
        EXPECT_EQ(shown(harness, QStringLiteral("logo-miniature")), !pill);
        QQuickItem* miniature = item(QStringLiteral("widget-miniature"));
        EXPECT_COLOR_NEAR(harness.colorAt(miniature, {6, 57}), colors.inputBackground);
        if (pill) {
            // The capsule stays black at 0.55 in every theme, over the miniature's fill.
            QQuickItem* capsule = item(QStringLiteral("idle-pill-miniature"));
            EXPECT_COLOR_NEAR(harness.colorAt(capsule, {capsule->width() - 8, 14}),
                              over(QColor::fromRgbF(0, 0, 0, 0.55f), colors.inputBackground));
        }
        shootKit(std::string("appearance-option-") + preview);
    }
}

TEST(AppLanguageOptionCardViewTest, BadgeCaptionAndTextsFollowTheOptionAndTheInterfaceLanguage) {
    const std::tuple<const char*, AppLanguageOption, const char*, const char*> options[] = {
        {"system", AppLanguageOption::system, "A", "SYSTEM"},
        {"english", AppLanguageOption::english, "EN", "ENGLISH"},
        {"turkish", AppLanguageOption::turkish, "TR", "TURKISH"},
    };
    ViewHarness harness;
    for (const char* code : {"tr"}) {
        const AppStrings strings{QString::fromLatin1(code)};
        for (const auto& [raw, option, badge, caption] : options) {
            SCOPED_TRACE(std::string(code) + " " + raw);
            ASSERT_TRUE(harness.load(QStringLiteral("AppLanguageOptionCard { objectName: 'card'; x: 24; y: 24; "
                                                    "width: 260; language: '%1'; languageCode: '%2' }")
                                         .arg(QString::fromLatin1(raw), QString::fromLatin1(code)),
                                     {308, 200}));
            harness.grab();
            EXPECT_EQ(textOf(harness, QStringLiteral("language-badge-code")), QString::fromLatin1(badge));
            EXPECT_EQ(textOf(harness, QStringLiteral("language-caption")), QString::fromLatin1(caption));
            EXPECT_EQ(textOf(harness, QStringLiteral("option-title")), strings.appLanguageOptionTitle(option));
            EXPECT_EQ(textOf(harness, QStringLiteral("option-subtitle")), strings.appLanguageOptionDescription(option));
            EXPECT_GE(harness.find(QStringLiteral("card"))->height(), 132);
        }
        harness.shoot("kit2-language-option-turkish-" + std::string(code));
    }
}

INSTANTIATE_TEST_SUITE_P(Quorvelle, OptionCardThemes, ::testing::Values(Theme::Quorvelle), ThemeName());
INSTANTIATE_TEST_SUITE_P(Black, AppearanceOptionCardThemes, ::testing::Values(Theme::Black), ThemeName());

}  // namespace
}  // namespace quorvelle::test
