#include "KitScene.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

const QString kShort = QStringLiteral("Hold the shortcut while you speak.");
const QString kLong = QStringLiteral(
    "Press the shortcut once to start recording and once more to stop; useful for long dictations where "
    "holding a key gets tiring, and for keyboards whose modifier keys are awkward to hold down.");

QString optionScene(const QString& subtitle, bool selected, int width = 448) {
    return loggedScene(QStringLiteral("RecordingModeOptionButton {\n"
                                      "  objectName: 'option'; x: 16; y: 16; width: %3\n"
                                      "  title: 'Push to talk'; subtitle: '%1'; isSelected: %2\n"
                                      "  callback: function() { scene.note('option') }\n"
                                      "}\n")
                           .arg(subtitle, selected ? QStringLiteral("true") : QStringLiteral("false"))
                           .arg(width));
}

QString cardScene(bool selected, bool disabled, const QString& subtitle = kShort,
                  const QString& tags = QStringLiteral("'Private', 'Offline'")) {
    return loggedScene(QStringLiteral("ModeSelectionCard {\n"
                                      "  objectName: 'card'; x: 24; y: 24; width: 300\n"
                                      "  title: 'Local'; subtitle: '%1'; tags: [%2]; symbolName: 'waveform'\n"
                                      "  isSelected: %3; isDisabled: %4\n"
                                      "  callback: function() { scene.note('card') }\n"
                                      "}\n")
                           .arg(subtitle, tags, selected ? QStringLiteral("true") : QStringLiteral("false"),
                                disabled ? QStringLiteral("true") : QStringLiteral("false")));
}

QColor ringStroke(const ViewHarness& harness) {
    return borderOf(harness.find(QStringLiteral("selection-ring"))->childItems().first());
}

using RecordingModeOptionThemes = KitThemedTest;

TEST_P(RecordingModeOptionThemes, SelectionRecoloursTheSurfaceAndTheRingButMovesNothing) {
    const DesktopThemeColors colors = this->colors();
    QPointF ringPlace;
    for (const bool selected : {false, true}) {
        SCOPED_TRACE(selected ? "selected" : "not selected");
        ASSERT_TRUE(loadThemed(optionScene(kShort, selected), {480, 140}));
        QQuickItem* option = item(QStringLiteral("option"));
        EXPECT_COLOR_NEAR(fillOf(harness, option), selected ? colors.selectedCardFill : colors.inputBackground);
        EXPECT_COLOR_NEAR(borderOf(item(QStringLiteral("option-surface"))),
                          selected ? colors.selectedCardBorder : colors.inputBorder);
        const QColor ring = ringStroke(harness);
        EXPECT_COLOR_NEAR(ring, selected ? colors.primaryText : colors.secondaryText);
        EXPECT_DOUBLE_EQ(item(QStringLiteral("selection-dot"))->opacity(), selected ? 1 : 0);
        const QPointF place = item(QStringLiteral("selection-ring"))->mapToScene({0, 0});
        if (selected) {
            EXPECT_EQ(place, ringPlace);
        }
        ringPlace = place;
        shootKit(selected ? "recording-mode-option-selected" : "recording-mode-option");
    }
}

INSTANTIATE_TEST_SUITE_P(Light, RecordingModeOptionThemes, ::testing::Values(Theme::Light), ThemeName());

using ModeSelectionCardThemes = KitThemedTest;

TEST_P(ModeSelectionCardThemes, SelectionAndDisablingEachChangeTheirOwnLook) {
    const DesktopThemeColors colors = this->colors();
    for (const bool selected : {false, true}) {
        for (const bool disabled : {false, true}) {
            SCOPED_TRACE(std::string(selected ? "selected" : "not selected") + (disabled ? ", disabled" : ""));
            ASSERT_TRUE(loadThemed(cardScene(selected, disabled), {348, 204}));
            QQuickItem* card = item(QStringLiteral("card"));
            QQuickItem* base = item(QStringLiteral("mode-card-base"));
            if (!disabled) {
                EXPECT_COLOR_NEAR(fillOf(harness, card), selected ? colors.selectedCardFill : colors.inputBackground);
            }
            EXPECT_DOUBLE_EQ(card->height(), 156);
            EXPECT_DOUBLE_EQ(card->opacity(), disabled ? 0.92 : 1.0);
            EXPECT_EQ(shown(harness, QStringLiteral("mode-check")), selected);
            EXPECT_EQ(shown(harness, QStringLiteral("mode-card-glow")), selected);
            EXPECT_COLOR_NEAR(borderOf(base), selected ? colors.selectedCardBorder : colors.inputBorder);
            shootKit(std::string("mode-card") + (selected ? "-selected" : "") + (disabled ? "-disabled" : ""));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Quorvelle, ModeSelectionCardThemes, ::testing::Values(Theme::Quorvelle), ThemeName());

TEST(ModeSelectionCardViewTest, LongTextsAndManyTagsNeverEnlargeTheCard) {
    ViewHarness harness;
    const QString crowd = QStringLiteral("'Private', 'Offline', 'No account', 'Any language', 'Slow'");
    ASSERT_TRUE(harness.load(cardScene(true, false, kLong, crowd), {348, 204}));
    harness.grab();
    QQuickItem* card = harness.find(QStringLiteral("card"));
    QQuickItem* subtitle = harness.find(QStringLiteral("option-subtitle"));
    EXPECT_DOUBLE_EQ(card->height(), 156);
    // The subtitle keeps one whole line, cut short; the tags stay on the card.
    EXPECT_TRUE(subtitle->property("truncated").toBool());
    EXPECT_EQ(subtitle->property("lineCount").toInt(), 1);
    QQuickItem* tags = harness.find(QStringLiteral("mode-tags"));
    EXPECT_LE(tags->mapToItem(card, {0, tags->height()}).y(), card->height());
    EXPECT_GE(harness.find(QStringLiteral("mode-symbol-tile"))->mapToItem(card, {0, 0}).y(), 0);
    harness.shoot("kit2-mode-card-crowded");

    // A page that gives the card more height gets more of the subtitle.
    ASSERT_TRUE(harness.load(cardScene(true, false, kLong, crowd)
                                 .replace(QStringLiteral("width: 300"), QStringLiteral("width: 300; height: 220")),
                             {348, 268}));
    harness.grab();
    subtitle = harness.find(QStringLiteral("option-subtitle"));
    EXPECT_DOUBLE_EQ(harness.find(QStringLiteral("card"))->height(), 220);
    EXPECT_GE(subtitle->property("lineCount").toInt(), 4);
    harness.shoot("kit2-mode-card-taller");
}

// A click anywhere on the surface, its texts and marks included, is the option's action.
TEST(ModeOptionViewTest, ClicksAnywhereCallTheActionUnlessTheCardIsDisabled) {
    struct Case {
        const char* name;
        QString scene;
        QString root;
        QStringList parts;
        QStringList expected;
    };
    const Case cases[] = {
        {"recording option",
         optionScene(kShort, true),
         QStringLiteral("option"),
         {QStringLiteral("option-subtitle"), QStringLiteral("selection-ring")},
         QStringList(4, QStringLiteral("option"))},
        {"mode card",
         cardScene(true, false),
         QStringLiteral("card"),
         {QStringLiteral("mode-symbol-tile"), QStringLiteral("mode-check")},
         QStringList(4, QStringLiteral("card"))},
        {"disabled mode card",
         cardScene(true, true),
         QStringLiteral("card"),
         {QStringLiteral("mode-symbol-tile"), QStringLiteral("mode-check")},
         QStringList()},
    };
    ViewHarness harness;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(harness.load(c.scene, {480, 204}));
        harness.grab();
        QQuickItem* surface = harness.find(c.root);
        harness.click(surface, {surface->width() / 2, 26});  // the blank beside the title or tile
        for (const QString& part : c.parts)
            harness.click(harness.find(part));
        harness.click(surface, {surface->width() - 4, surface->height() - 4});
        EXPECT_EQ(callLog(harness), c.expected);
    }
}

}  // namespace
}  // namespace quorvelle::test
