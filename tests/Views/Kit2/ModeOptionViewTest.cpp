#include "ViewHarness.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

const QString kShort = QStringLiteral("Hold the shortcut while you speak.");

QString optionScene(bool selected) {
    return loggedScene(QStringLiteral("RecordingModeOptionButton {\n"
                                      "  objectName: 'option'; x: 16; y: 16; width: 448\n"
                                      "  title: 'Push to talk'; subtitle: '%1'; isSelected: %2\n"
                                      "  callback: function() { scene.note('option') }\n}\n")
                           .arg(kShort, selected ? "true" : "false"));
}

QString cardScene(bool selected, bool disabled, const QString& subtitle = kShort,
                  const QString& tags = QStringLiteral("'Private', 'Offline'")) {
    return loggedScene(QStringLiteral("ModeSelectionCard {\n"
                                      "  objectName: 'card'; x: 24; y: 24; width: 300\n"
                                      "  title: 'Local'; subtitle: '%1'; tags: [%2]; symbolName: 'waveform'\n"
                                      "  isSelected: %3; isDisabled: %4\n"
                                      "  callback: function() { scene.note('card') }\n}\n")
                           .arg(subtitle, tags, selected ? "true" : "false", disabled ? "true" : "false"));
}

TEST(ModeOptionViews, SelectionAndDisablingChangeTheLookButMoveNothing) {
    ViewHarness harness;
    harness.setTheme(Theme::Quorvelle);
    const DesktopThemeColors colors = harness.colors();
    QPointF ringPlace;
    for (const bool selected : {false, true}) {
        SCOPED_TRACE(selected ? "selected" : "not selected");
        ASSERT_TRUE(harness.load(optionScene(selected), {480, 140}));
        EXPECT_COLOR_NEAR(harness.fillOf(harness.item("option")),
                          selected ? colors.selectedCardFill : colors.inputBackground);
        EXPECT_DOUBLE_EQ(harness.item("selection-dot")->opacity(), selected ? 1 : 0);
        const QPointF place = harness.item("selection-ring")->mapToScene({0, 0});
        if (!selected) ringPlace = place;
        EXPECT_EQ(place, ringPlace);
        harness.shootInEveryTheme(selected ? "kit2-recording-mode-option-selected" : "kit2-recording-mode-option");
        for (const bool disabled : {false, true}) {
            ASSERT_TRUE(harness.load(cardScene(selected, disabled), {348, 204}));
            EXPECT_DOUBLE_EQ(harness.item("card")->opacity(), disabled ? 0.92 : 1.0);
            EXPECT_EQ(harness.shows("mode-check"), selected);
            EXPECT_EQ(harness.shows("mode-card-glow"), selected);
            EXPECT_COLOR_NEAR(borderOf(harness.item("mode-card-base")),
                              selected ? colors.selectedCardBorder : colors.inputBorder);
            harness.shootInEveryTheme(std::string("kit2-mode-card") + (selected ? "-selected" : "") +
                                      (disabled ? "-disabled" : ""));
        }
    }
}

TEST(ModeOptionViews, LongTextsAndManyTagsNeverEnlargeTheCard) {
    ViewHarness harness;
    ASSERT_TRUE(harness.load(cardScene(true, false, (kShort + ' ').repeated(12),
                                       "'Private', 'Offline', 'No account', 'Any language', 'Slow'"),
                             {348, 204}));
    harness.grab();
    QQuickItem* card = harness.item("card");
    QQuickItem* subtitle = harness.item("option-subtitle");
    EXPECT_DOUBLE_EQ(card->height(), 156);
    EXPECT_TRUE(subtitle->property("truncated").toBool());
    EXPECT_EQ(subtitle->property("lineCount").toInt(), 1);
    QQuickItem* tags = harness.item("mode-tags");
    EXPECT_LE(tags->mapToItem(card, {0, tags->height()}).y(), card->height());
    harness.shoot("kit2-mode-card-crowded");
}

// A click anywhere on the surface, its texts and marks included, is the option's action.
TEST(ModeOptionViews, ClicksAnywhereCallTheActionUnlessTheCardIsDisabled) {
    const QStringList cardParts{"mode-symbol-tile", "mode-check"};
    const struct {
        QString scene;
        const char* root;
        QStringList parts;
        QStringList expected;
    } cases[] = {
        {optionScene(true), "option", {"option-subtitle", "selection-ring"}, QStringList(4, "option")},
        {cardScene(true, false), "card", cardParts, QStringList(4, "card")},
        {cardScene(true, true), "card", cardParts, {}},
    };
    ViewHarness harness;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.root);
        ASSERT_TRUE(harness.load(c.scene, {480, 204}));
        harness.grab();
        QQuickItem* surface = harness.item(c.root);
        harness.click(surface, {surface->width() / 2, 26});  // the blank beside the title or tile
        for (const QString& part : c.parts)
            harness.click(harness.item(part));
        harness.click(surface, {surface->width() - 4, surface->height() - 4});
        EXPECT_EQ(harness.log(), c.expected);
    }
}

}  // namespace
}  // namespace quorvelle::test
