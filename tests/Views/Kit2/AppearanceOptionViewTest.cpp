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
            harness.grab();
            EXPECT_EQ(shown(harness, QStringLiteral("option-card-glow")), selected);
            EXPECT_EQ(shown(harness, QStringLiteral("option-card-check")), selected);
            QQuickItem* check = item(QStringLiteral("option-card-check"));
            EXPECT_EQ(check->mapToItem(card, {check->width(), 0}),
                      QPointF(card->width() - kind.badgeInset, kind.badgeInset));
            if (QQuickItem* miniature = harness.find(QStringLiteral("theme-miniature"))) {
                // The theme card draws its own palette, not the active theme's.
                EXPECT_COLOR_NEAR(harness.colorAt(miniature, {miniature->width() - 4, miniature->height() / 2}),
                                  DesktopThemePalette::quorvelle().background);
            }
            if (QQuickItem* badge = harness.find(QStringLiteral("language-badge"))) {
                // The language badge inverts on a selected card.
                EXPECT_COLOR_NEAR(harness.colorAt(badge, {19, 5}),
                                  over(selected ? colors.primaryButtonFill : colors.inputBackground, fill));
            }
            shootKit(std::string(kind.name) + (selected ? "-selected" : ""));
        }
    }
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

TEST(AppearanceOptionCardViewTest, MiniatureFollowsThePreview) {
    ViewHarness harness;
    for (const bool pill : {true, false}) {
        ASSERT_TRUE(harness.load(QStringLiteral("AppearanceOptionCard { x: 24; y: 24; width: 260; title: 'Widget'\n"
                                                "  subtitle: 'Idle look'; preview: '%1' }")
                                     .arg(pill ? QStringLiteral("currentWidget") : QStringLiteral("logoOnly")),
                                 {308, 260}));
        harness.grab();
        EXPECT_EQ(shown(harness, QStringLiteral("idle-pill-miniature")), pill);
        EXPECT_EQ(shown(harness, QStringLiteral("logo-miniature")), !pill);
    }
}

TEST(AppLanguageOptionCardViewTest, BadgeCaptionAndTextsFollowTheOptionAndTheInterfaceLanguage) {
    const std::tuple<const char*, AppLanguageOption, const char*, const char*> options[] = {
        {"system", AppLanguageOption::system, "A", "SYSTEM"},
        {"english", AppLanguageOption::english, "EN", "ENGLISH"},
        {"turkish", AppLanguageOption::turkish, "TR", "TURKISH"},
    };
    ViewHarness harness;
    const AppStrings strings{QStringLiteral("tr")};
    for (const auto& [raw, option, badge, caption] : options) {
        SCOPED_TRACE(raw);
        ASSERT_TRUE(harness.load(QStringLiteral("AppLanguageOptionCard { x: 24; y: 24; width: 260; language: '%1'; "
                                                "languageCode: 'tr' }")
                                     .arg(QString::fromLatin1(raw)),
                                 {308, 200}));
        EXPECT_EQ(textOf(harness, QStringLiteral("language-badge-code")), QString::fromLatin1(badge));
        EXPECT_EQ(textOf(harness, QStringLiteral("language-caption")), QString::fromLatin1(caption));
        EXPECT_EQ(textOf(harness, QStringLiteral("option-title")), strings.appLanguageOptionTitle(option));
        EXPECT_EQ(textOf(harness, QStringLiteral("option-subtitle")), strings.appLanguageOptionDescription(option));
    }
}

INSTANTIATE_TEST_SUITE_P(Quorvelle, OptionCardThemes, ::testing::Values(Theme::Quorvelle), ThemeName());

}  // namespace
}  // namespace quorvelle::test
