// The appearance page in the dashboard over the view model built from fakes: the theme, widget
// and language cards, their marks, the setters they call (also for the chosen card) and the
// window recolouring and retranslating at once.
#include "PageScene.h"

namespace quorvelle::test {
namespace {

class AppearancePageViewTest : public PageScene {
protected:
    bool marked(const QString& card) {
        return item(QStringLiteral("appearance-") + card)->property("isSelected").toBool();
    }
    std::optional<QString> stored(const char* key) const {
        return fakes.userDefaults->string(QString::fromLatin1(key));
    }
};

TEST_F(AppearancePageViewTest, EachCardCallsItsSetterAndTheMarksFollowTheViewModel) {
    fakes.makeReadyForCloudDictation();
    ASSERT_TRUE(open(QStringLiteral("appearance")));
    EXPECT_TRUE(marked("theme-black"));
    EXPECT_TRUE(marked("widget-currentWidget"));
    EXPECT_TRUE(marked("language-english"));
    harness.shoot("pages2-appearance-black-en");

    // The theme recolours the whole window at once.
    QQuickItem* canvas = item("main-window-detail");
    harness.click(item("appearance-theme-light"));
    EXPECT_EQ(message(), QStringLiteral("Theme updated: Light."));
    EXPECT_EQ(stored(SettingsKeys::selectedDesktopTheme), QStringLiteral("light"));
    EXPECT_TRUE(marked("theme-light"));
    EXPECT_FALSE(marked("theme-black"));
    EXPECT_COLOR_NEAR(harness.colorAt(canvas, {canvas->width() - 20, canvas->height() - 6}),
                      DesktopThemeColors::light().contentBackground);
    harness.click(item("appearance-theme-light"));
    EXPECT_EQ(message(), QStringLiteral("Theme is already active."));
    EXPECT_TRUE(marked("theme-light"));

    harness.click(item("appearance-widget-logoOnly"));
    EXPECT_EQ(message(), QStringLiteral("Widget appearance updated: Logo only."));
    EXPECT_EQ(stored(SettingsKeys::selectedWidgetAppearance), QStringLiteral("logoOnly"));
    EXPECT_TRUE(marked("widget-logoOnly"));
    EXPECT_FALSE(marked("widget-currentWidget"));
    harness.click(item("appearance-widget-logoOnly"));
    EXPECT_EQ(message(), QStringLiteral("Widget appearance is already active."));
    harness.shoot("pages2-appearance-light-en");
}

TEST_F(AppearancePageViewTest, ALanguageCardSwitchesEveryTextOfThePageAtOnce) {
    fakes.makeReadyForCloudDictation();
    QQuickItem* page = open(QStringLiteral("appearance"));
    ASSERT_TRUE(page);
    EXPECT_TRUE(textsIn(page).contains("Widget Appearance"));
    harness.click(item("appearance-language-turkish"));
    EXPECT_EQ(stored(SettingsKeys::selectedAppLanguage), QStringLiteral("turkish"));
    EXPECT_TRUE(marked("language-turkish"));
    EXPECT_FALSE(marked("language-english"));
    const QStringList texts = textsIn(page);
    for (const char* expected :
         {"Tema", "Siyah", "Açık", "Quorvelle", "Widget Görünümü", "Sadece Logo", "Mevcut widget", "Uygulama Dili"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_FALSE(texts.contains("Widget Appearance"));
    EXPECT_EQ(text("main-window-page-title"), QString::fromUtf8("Görünüm"));
    harness.shoot("pages2-appearance-black-tr");

    // The same choice again only reports, in the language now in force.
    harness.click(item("appearance-language-turkish"));
    EXPECT_EQ(message(), QString::fromUtf8("Uygulama dili güncellendi."));
}

}  // namespace
}  // namespace quorvelle::test
