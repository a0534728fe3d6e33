#include "KitScene.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

const QString kShort = QStringLiteral("Hold the shortcut while you speak.");

QString optionScene(bool selected) {
    return loggedScene(QStringLiteral("RecordingModeOptionButton {\n"
                                      "  objectName: 'option'; x: 16; y: 16; width: 448\n"
                                      "  title: 'Push to talk'; subtitle: '%1'; isSelected: %2\n"
                                      "  callback: function() { scene.note('option') }\n"
                                      "}\n")
                           .arg(kShort, selected ? QStringLiteral("true") : QStringLiteral("false")));
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

using ModeOptionThemes = KitThemedTest;

TEST_P(ModeOptionThemes, SelectionAndDisablingChangeTheLookButMoveNothing) {
    const DesktopThemeColors colors = this->colors();
    QPointF ringPlace;
    for (const bool selected : {false, true}) {
        SCOPED_TRACE(selected ? "selected" : "not selected");
        ASSERT_TRUE(loadThemed(optionScene(selected), {480, 140}));
        EXPECT_COLOR_NEAR(fillOf(harness, item(QStringLiteral("option"))),
                          selected ? colors.selectedCardFill : colors.inputBackground);
        EXPECT_DOUBLE_EQ(item(QStringLiteral("selection-dot"))->opacity(), selected ? 1 : 0);
        const QPointF place = item(QStringLiteral("selection-ring"))->mapToScene({0, 0});
        if (selected) {
            EXPECT_EQ(place, ringPlace);
        }
        ringPlace = place;
        shootKit(selected ? "recording-mode-option-selected" : "recording-mode-option");
        for (const bool disabled : {false, true}) {
            ASSERT_TRUE(loadThemed(cardScene(selected, disabled), {348, 204}));
            QQuickItem* card = item(QStringLiteral("card"));
            EXPECT_DOUBLE_EQ(card->height(), 156);
            EXPECT_DOUBLE_EQ(card->opacity(), disabled ? 0.92 : 1.0);
            EXPECT_EQ(shown(harness, QStringLiteral("mode-check")), selected);
            EXPECT_EQ(shown(harness, QStringLiteral("mode-card-glow")), selected);
            EXPECT_COLOR_NEAR(borderOf(item(QStringLiteral("mode-card-base"))),
                              selected ? colors.selectedCardBorder : colors.inputBorder);
            shootKit(std::string("mode-card") + (selected ? "-selected" : "") + (disabled ? "-disabled" : ""));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Quorvelle, ModeOptionThemes, ::testing::Values(Theme::Quorvelle), ThemeName());

TEST(ModeSelectionCardViewTest, LongTextsAndManyTagsNeverEnlargeTheCard) {
    ViewHarness harness;
    const QString longText = QString(12, QLatin1Char(' ')).replace(QLatin1Char(' '), kShort + QLatin1Char(' '));
    ASSERT_TRUE(harness.load(
        cardScene(true, false, longText, QStringLiteral("'Private', 'Offline', 'No account', 'Any language', 'Slow'")),
        {348, 204}));
    harness.grab();
    QQuickItem* card = harness.find(QStringLiteral("card"));
    QQuickItem* subtitle = harness.find(QStringLiteral("option-subtitle"));
    EXPECT_DOUBLE_EQ(card->height(), 156);
    EXPECT_TRUE(subtitle->property("truncated").toBool());
    EXPECT_EQ(subtitle->property("lineCount").toInt(), 1);
    QQuickItem* tags = harness.find(QStringLiteral("mode-tags"));
    EXPECT_LE(tags->mapToItem(card, {0, tags->height()}).y(), card->height());
    harness.shoot("kit2-mode-card-crowded");
}

// A click anywhere on the surface, its texts and marks included, is the option's action.
TEST(ModeOptionViewTest, ClicksAnywhereCallTheActionUnlessTheCardIsDisabled) {
    struct Case {
        QString scene;
        QString root;
        QStringList parts;
        QStringList expected;
    };
    const QStringList cardParts{QStringLiteral("mode-symbol-tile"), QStringLiteral("mode-check")};
    const Case cases[] = {
        {optionScene(true),
         QStringLiteral("option"),
         {QStringLiteral("option-subtitle"), QStringLiteral("selection-ring")},
         QStringList(4, QStringLiteral("option"))},
        {cardScene(true, false), QStringLiteral("card"), cardParts, QStringList(4, QStringLiteral("card"))},
        {cardScene(true, true), QStringLiteral("card"), cardParts, QStringList()},
    };
    ViewHarness harness;
    for (const Case& c : cases) {
        ASSERT_TRUE(harness.load(c.scene, {480, 204}));
        harness.grab();
        QQuickItem* surface = harness.find(c.root);
        harness.click(surface, {surface->width() / 2, 26});  // the blank beside the title or tile
        for (const QString& part : c.parts)
            harness.click(harness.find(part));
        harness.click(surface, {surface->width() - 4, surface->height() - 4});
        EXPECT_EQ(callLog(harness), c.expected) << c.root.toStdString();
    }
}

}  // namespace
}  // namespace quorvelle::test
