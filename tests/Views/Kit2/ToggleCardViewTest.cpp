#include "KitScene.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

// The page's side: it owns the value and may refuse a change.
QString toggleScene(
    bool on, bool accepts,
    const QString& subtitle = QStringLiteral("Paste through the clipboard when a field refuses direct insertion.")) {
    return loggedScene(
        QStringLiteral("property bool value: %1\n"
                       "property bool accepts: %2\n"
                       "ToggleFeatureCard {\n"
                       "  objectName: 'toggle'; x: 16; y: 16; width: 448\n"
                       "  title: 'Clipboard fallback'; subtitle: '%3'\n"
                       "  isOn: scene.value\n"
                       "  onEdited: isOn => { scene.note('set|' + isOn); if (scene.accepts) scene.value = isOn }\n"
                       "}\n")
            .arg(on ? QStringLiteral("true") : QStringLiteral("false"),
                 accepts ? QStringLiteral("true") : QStringLiteral("false"), subtitle));
}

using ToggleCardThemes = KitThemedTest;

TEST_P(ToggleCardThemes, SwitchShowsTheValueOnTheHighlightedCard) {
    const DesktopThemeColors colors = this->colors();
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on ? "on" : "off");
        ASSERT_TRUE(loadThemed(toggleScene(on, true), {480, 130}));
        QQuickItem* card = item(QStringLiteral("toggle"));
        QQuickItem* track = item(QStringLiteral("toggle-track"));
        QQuickItem* knob = item(QStringLiteral("toggle-knob"));
        EXPECT_COLOR_NEAR(fillOf(harness, card), colors.selectedCardFill);
        // The track shows beside the knob; the knob's middle shows the knob.
        const QColor trackColor = over(on ? colors.primaryButtonFill : colors.inputBorder, colors.selectedCardFill);
        EXPECT_COLOR_NEAR(harness.colorAt(track, {on ? 6.0 : 32.0, 11}), trackColor);
        EXPECT_COLOR_NEAR(harness.colorAt(knob, {9, 9}),
                          over(on ? colors.darkButtonText : colors.primaryText, trackColor));
        EXPECT_EQ(knob->mapToItem(track, {0, 0}), QPointF(on ? 18 : 2, 2));
        shootKit(on ? "toggle-card-on" : "toggle-card-off");
    }
}

INSTANTIATE_TEST_SUITE_P(Quorvelle, ToggleCardThemes, ::testing::Values(Theme::Quorvelle), ThemeName());

TEST(ToggleCardViewTest, OnlyTheSwitchWritesTheInvertedValueAndARefusalLeavesTheKnob) {
    ViewHarness harness;
    ASSERT_TRUE(harness.load(toggleScene(false, true), {480, 130}));
    harness.grab();
    QQuickItem* card = harness.find(QStringLiteral("toggle"));
    harness.click(harness.find(QStringLiteral("toggle-title")));
    harness.click(harness.find(QStringLiteral("toggle-subtitle")));
    harness.click(card, {card->width() - 6, 6});
    EXPECT_TRUE(callLog(harness).isEmpty());

    QQuickItem* toggle = harness.find(QStringLiteral("toggle-switch"));
    harness.click(toggle);
    EXPECT_EQ(callLog(harness), QStringList{QStringLiteral("set|true")});
    EXPECT_TRUE(harness.root()->property("value").toBool());
    harness.click(toggle);
    EXPECT_EQ(callLog(harness), (QStringList{QStringLiteral("set|true"), QStringLiteral("set|false")}));
    EXPECT_FALSE(harness.root()->property("value").toBool());

    // A refused change leaves the knob where it was.
    ASSERT_TRUE(harness.load(toggleScene(true, false), {480, 130}));
    harness.grab();
    harness.click(harness.find(QStringLiteral("toggle-switch")));
    harness.click(harness.find(QStringLiteral("toggle-switch")));
    EXPECT_EQ(callLog(harness), QStringList(2, QStringLiteral("set|false")));
    harness.grab();
    EXPECT_DOUBLE_EQ(harness.find(QStringLiteral("toggle-knob"))->x(), 18);
    EXPECT_TRUE(harness.find(QStringLiteral("toggle"))->property("isOn").toBool());
}

}  // namespace
}  // namespace quorvelle::test
