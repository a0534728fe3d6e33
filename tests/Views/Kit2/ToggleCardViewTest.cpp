#include "ViewHarness.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

// The page's side owns the value and may refuse a change.
TEST(ToggleCardViews, TheSwitchShowsTheOwnersValueAndOnlyItWritesTheInvertedValue) {
    ViewHarness harness;
    harness.setTheme(Theme::Quorvelle);
    const DesktopThemeColors colors = harness.colors();
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on ? "on" : "off");
        ASSERT_TRUE(harness.load(
            loggedScene(QStringLiteral(
                            "property bool value: %1\n"
                            "property bool accepts: true\n"
                            "ToggleFeatureCard {\n"
                            "  objectName: 'toggle'; x: 16; y: 16; width: 448\n"
                            "  title: 'Clipboard fallback'\n"
                            "  subtitle: 'Paste through the clipboard when a field refuses direct insertion.'\n"
                            "  isOn: scene.value\n"
                            "  onEdited: isOn => { scene.note('set|' + isOn); if (scene.accepts) scene.value = isOn }\n"
                            "}\n")
                            .arg(on ? "true" : "false")),
            {480, 130}));
        QQuickItem* track = harness.item("toggle-track");
        QQuickItem* knob = harness.item("toggle-knob");
        EXPECT_COLOR_NEAR(harness.fillOf(harness.item("toggle")), colors.selectedCardFill);
        // The track shows beside the knob; the knob's middle shows the knob.
        const QColor trackColor = over(on ? colors.primaryButtonFill : colors.inputBorder, colors.selectedCardFill);
        EXPECT_COLOR_NEAR(harness.colorAt(track, {on ? 6.0 : 32.0, 11}), trackColor);
        EXPECT_COLOR_NEAR(harness.colorAt(knob, {9, 9}),
                          over(on ? colors.darkButtonText : colors.primaryText, trackColor));
        EXPECT_EQ(knob->mapToItem(track, {0, 0}), QPointF(on ? 18 : 2, 2));
        harness.shootInEveryTheme(on ? "kit2-toggle-card-on" : "kit2-toggle-card-off");
    }

    QQuickItem* card = harness.item("toggle");
    harness.click(harness.item("toggle-title"));
    harness.click(harness.item("toggle-subtitle"));
    harness.click(card, {card->width() - 6, 6});
    EXPECT_TRUE(harness.log().isEmpty());
    QQuickItem* toggle = harness.item("toggle-switch");
    harness.click(toggle);
    EXPECT_EQ(harness.log(), QStringList{"set|false"});
    EXPECT_FALSE(harness.root()->property("value").toBool());
    harness.click(toggle);
    EXPECT_EQ(harness.log(), (QStringList{"set|false", "set|true"}));
    EXPECT_TRUE(harness.root()->property("value").toBool());

    // A refused change leaves the knob where it was.
    harness.root()->setProperty("accepts", false);
    harness.click(toggle);
    harness.click(toggle);
    EXPECT_EQ(harness.log().mid(2), QStringList(2, "set|false"));
    harness.grab();
    EXPECT_DOUBLE_EQ(harness.item("toggle-knob")->x(), 18);
    EXPECT_TRUE(card->property("isOn").toBool());
}

}  // namespace
}  // namespace quorvelle::test
