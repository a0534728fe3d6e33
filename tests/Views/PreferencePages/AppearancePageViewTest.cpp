// The appearance page: its cards, their setters and marks, and the window following at once.
#include "../Dashboard/ViewModelScene.h"

namespace quorvelle::test {
namespace {

class AppearancePageViewTest : public ViewModelScene {
protected:
    bool marked(const char* card) { return selected(QStringLiteral("appearance-") + card); }
    std::optional<QString> stored(const char* key) const {
        return fakes.userDefaults->string(QString::fromLatin1(key));
    }
};

TEST_F(AppearancePageViewTest, EachCardCallsItsSetterAndTheMarksAndTheWindowFollowTheViewModel) {
    fakes.makeReadyForCloudDictation();
    QQuickItem* page = open(QStringLiteral("appearance"));
    ASSERT_TRUE(page);
    EXPECT_TRUE(marked("theme-black") && marked("widget-currentWidget") && marked("language-english"));
    harness.shoot("pages2-appearance-black-en");

    QQuickItem* detail = item("main-window-detail");
    harness.click(item("appearance-theme-light"));
    EXPECT_EQ(stored(SettingsKeys::selectedDesktopTheme), QStringLiteral("light"));
    EXPECT_TRUE(marked("theme-light") && !marked("theme-black"));
    EXPECT_COLOR_NEAR(harness.colorAt(detail, {detail->width() - 20, detail->height() - 6}),
                      DesktopThemeColors::light().contentBackground);

    harness.click(item("appearance-widget-logoOnly"));
    EXPECT_EQ(stored(SettingsKeys::selectedWidgetAppearance), QStringLiteral("logoOnly"));
    EXPECT_TRUE(marked("widget-logoOnly") && !marked("widget-currentWidget"));
    harness.shoot("pages2-appearance-light-en");

    harness.click(item("appearance-language-turkish"));
    EXPECT_EQ(stored(SettingsKeys::selectedAppLanguage), QStringLiteral("turkish"));
    EXPECT_TRUE(marked("language-turkish") && !marked("language-english"));
    expectTexts(page, {"Tema", "Widget Görünümü", "Sadece Logo", "Uygulama Dili"});
    EXPECT_FALSE(textsIn(page).contains("Widget Appearance"));
    harness.shoot("pages2-appearance-light-tr");
}

}  // namespace
}  // namespace quorvelle::test
