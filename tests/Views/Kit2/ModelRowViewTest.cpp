#include "KitScene.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

struct ModelState {
    const char* name;
    bool isSelected;
    const char* primaryTitle;
    const char* secondaryTitle;  // nullptr: no secondary button
};

// As the settings page hands them in: download when absent, select or delete when installed.
const ModelState kStates[] = {
    {"not-installed", false, "Download", nullptr},
    {"installed", false, "Select", "Delete"},
    {"selected", true, "Selected", "Delete"},
};

QString literal(const char* text) {
    return text ? QStringLiteral("'%1'").arg(QString::fromUtf8(text)) : QStringLiteral("null");
}

QString modelScene(const ModelState& state, const char* badge = "Recommended",
                   const QString& tags = "'Fast', 'Multilingual'", const char* warning = nullptr) {
    return loggedScene(QStringLiteral("ModelRow {\n"
                                      "  objectName: 'model'; x: 24; y: 24; width: 592\n"
                                      "  title: 'Base'; size: '142 MB'\n"
                                      "  subtitle: 'Balanced speed and accuracy for everyday dictation.'\n"
                                      "  badge: %1; tags: [%2]; warningText: %3\n"
                                      "  isSelected: %4; primaryActionTitle: '%5'; secondaryActionTitle: %6\n"
                                      "  primaryAction: function() { scene.note('primary') }\n"
                                      "  secondaryAction: function() { scene.note('secondary') }\n"
                                      "}\n")
                           .arg(literal(badge), tags, literal(warning),
                                state.isSelected ? QStringLiteral("true") : QStringLiteral("false"),
                                QString::fromUtf8(state.primaryTitle), literal(state.secondaryTitle)));
}

using ModelRowThemes = KitThemedTest;

TEST_P(ModelRowThemes, ButtonsAndSelectionFollowTheModelsState) {
    const DesktopThemeColors colors = this->colors();
    for (const ModelState& state : kStates) {
        SCOPED_TRACE(state.name);
        ASSERT_TRUE(loadThemed(modelScene(state), {640, 190}));
        QQuickItem* card = item(QStringLiteral("model"));
        QQuickItem* primary = item(QStringLiteral("model-primary-button"));
        QQuickItem* secondary = item(QStringLiteral("model-secondary-button"));

        EXPECT_EQ(primary->property("title").toString(), QString::fromUtf8(state.primaryTitle));
        EXPECT_EQ(primary->property("symbolName").toString(),
                  state.isSelected ? QStringLiteral("checkmark.circle") : QStringLiteral("arrow.down.circle"));
        EXPECT_EQ(secondary->isVisible(), state.secondaryTitle != nullptr);
        if (state.secondaryTitle) {
            EXPECT_EQ(secondary->property("title").toString(), QString::fromUtf8(state.secondaryTitle));
            EXPECT_EQ(secondary->property("symbolName").toString(), QStringLiteral("trash"));
        }
        EXPECT_DOUBLE_EQ(item(QStringLiteral("model-selection-dot"))->opacity(), state.isSelected ? 1 : 0);
        EXPECT_EQ(shown(harness, QStringLiteral("model-glow")), state.isSelected);
        EXPECT_COLOR_NEAR(fillOf(harness, card), state.isSelected ? colors.selectedCardFill : colors.cardFill);
        EXPECT_COLOR_NEAR(borderOf(card), state.isSelected ? colors.selectedCardBorder : colors.inputBorder);
        // The glow lightens the content background just outside a selected card only.
        const QColor outside = harness.colorAt(card, {card->width() + 4, card->height() / 2});
        EXPECT_EQ(near(outside, colors.contentBackground, 2), !state.isSelected) << describe(outside);
        shootKit(std::string("model-row-") + state.name);
    }
}

INSTANTIATE_TEST_SUITE_P(Black, ModelRowThemes, ::testing::Values(Theme::Black), ThemeName());

TEST(ModelRowViewTest, EachButtonCallsItsOwnActionAndTheMarkIsNotAControl) {
    ViewHarness harness;
    for (const ModelState& state : kStates) {
        SCOPED_TRACE(state.name);
        ASSERT_TRUE(harness.load(modelScene(state), {640, 190}));
        harness.grab();
        harness.click(harness.find(QStringLiteral("model-primary-button")));
        harness.click(harness.find(QStringLiteral("model-selection-mark")));
        harness.click(harness.find(QStringLiteral("model-title")));
        QStringList expected{QStringLiteral("primary")};
        if (state.secondaryTitle) {
            harness.click(harness.find(QStringLiteral("model-secondary-button")));
            expected.append(QStringLiteral("secondary"));
        }
        EXPECT_EQ(callLog(harness), expected);
    }
}

TEST(ModelRowViewTest, OptionalBadgeTagsAndWarningAppearOnlyWhenGiven) {
    ViewHarness harness;
    ASSERT_TRUE(harness.load(modelScene(kStates[0], nullptr, QString(), nullptr), {640, 190}));
    EXPECT_FALSE(shown(harness, QStringLiteral("model-badge")));
    EXPECT_FALSE(shown(harness, QStringLiteral("model-warning")));
    EXPECT_EQ(harness.find(QStringLiteral("model-tags"))->childItems().size(), 1);  // the Repeater's delegates: none
    harness.shoot("kit2-model-row-bare");
    const double bareHeight = harness.find(QStringLiteral("model"))->height();

    ASSERT_TRUE(harness.load(modelScene(kStates[1], "Recommended", "'Fast', 'English only', 'Small'",
                                        "Needs about 1 GB of memory while transcribing."),
                             {640, 210}));
    harness.grab();
    EXPECT_TRUE(shown(harness, QStringLiteral("model-badge")));
    EXPECT_EQ(harness.find(QStringLiteral("model-badge"))->property("title").toString(), QStringLiteral("Recommended"));
    EXPECT_EQ(textOf(harness, QStringLiteral("model-warning")),
              QStringLiteral("Needs about 1 GB of memory while transcribing."));
    QStringList tags;
    for (QQuickItem* child : harness.find(QStringLiteral("model-tags"))->childItems()) {
        if (child->property("title").isValid()) tags.append(child->property("title").toString());
    }
    EXPECT_EQ(tags, (QStringList{QStringLiteral("Fast"), QStringLiteral("English only"), QStringLiteral("Small")}));
    EXPECT_GT(harness.find(QStringLiteral("model"))->height(), bareHeight);
    harness.shoot("kit2-model-row-full");
}

}  // namespace
}  // namespace quorvelle::test
