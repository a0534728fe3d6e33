// The dashboard's push buttons, in each theme.
#include "ViewHarness.h"

#include <gtest/gtest.h>

#include <QTest>

namespace quorvelle::test {
namespace {

const char* kButtonsScene = R"(
    Item {
        Column {
            x: 20; y: 20; spacing: 14
            Row {
                spacing: 10
                SecondaryActionButton { objectName: "secondary"; title: "Edit"; symbolName: "pencil"; callback: () => recorder.record("secondary") }
                PrimaryActionButton { objectName: "primary"; title: "Download"; symbolName: "arrow.down.circle"; callback: () => recorder.record("primary") }
                DangerActionButton { objectName: "danger"; title: "Delete"; symbolName: "trash"; callback: () => recorder.record("danger") }
                IconSquareButton { objectName: "square"; symbolName: "document.badge.plus"; callback: () => recorder.record("square") }
            }
            Row {
                spacing: 10
                HeaderSecondaryButton { objectName: "headerSecondary"; title: "Export CSV"; symbolName: "doc.on.doc"; callback: () => recorder.record("headerSecondary") }
                HeaderDangerButton { objectName: "headerDanger"; title: "Clear"; callback: () => recorder.record("headerDanger") }
                HeaderGhostButton { objectName: "ghost"; title: "Release notes"; symbolName: "sparkles"; callback: () => recorder.record("ghost") }
            }
            Row {
                spacing: 10
                HeaderSecondaryButton { objectName: "headerSecondaryDisabled"; title: "Export CSV"; symbolName: "doc.on.doc"; isDisabled: true; callback: () => recorder.record("headerSecondaryDisabled") }
                HeaderDangerButton { objectName: "headerDangerDisabled"; title: "Clear"; isDisabled: true; callback: () => recorder.record("headerDangerDisabled") }
                SecondaryActionButton { objectName: "emptyTitle"; title: ""; symbolName: "pencil" }
            }
            Item {
                width: 300; height: wide.height
                WideBlackButton { id: wide; objectName: "wide"; width: parent.width; title: "Link this device"; symbolName: "arrow.up.circle"; callback: () => recorder.record("wide") }
            }
        }
    })";

class ButtonViews : public ThemedSceneTest {
protected:
    void SetUp() override { ASSERT_TRUE(loadScene(kButtonsScene, {560, 230}, "buttons")); }

    // The colour of the button's title text.
    static QColor titleColor(QQuickItem* button) {
        for (auto* child : button->findChildren<QQuickItem*>()) {
            if (child->inherits("QQuickText") && !glyphsIn(child).isEmpty()) continue;
            if (child->inherits("QQuickText")) return child->property("color").value<QColor>();
        }
        return {};
    }
};

TEST_P(ButtonViews, EachButtonShowsItsTitleSymbolAndColours) {
    const DesktopThemeColors c = colors();
    const QColor clear = harness.background();
    struct Case {
        const char* name;
        QStringList texts;
        QStringList symbols;
        QColor foreground;
        QColor fill;  // just inside the left edge
        QColor edge;  // on the left edge
    };
    const Case cases[] = {
        {"secondary", {"Edit"}, {"pencil"}, c.primaryText, clear, over(c.inputBorder, clear)},
        {"primary",
         {"Download"},
         {"arrow.down.circle"},
         c.darkButtonText,
         over(c.primaryButtonFill, clear),
         over(c.primaryButtonFill, clear)},
        {"danger", {"Delete"}, {"trash"}, c.errorText, clear, over(c.errorBorder, clear)},
        {"headerSecondary", {"Export CSV"}, {"doc.on.doc"}, c.primaryText, c.cardFill, over(c.inputBorder, clear)},
        {"headerDanger", {"Clear"}, {}, c.errorText, clear, over(c.errorBorder, clear)},
        {"ghost", {"Release notes"}, {"sparkles"}, c.secondaryText, clear, clear},
        {"wide",
         {"Link this device"},
         {"arrow.up.circle"},
         c.darkButtonText,
         over(c.primaryText, clear),
         over(c.primaryText, clear)},
        {"square", {}, {"document.badge.plus"}, c.primaryText, c.inputBackground, over(c.inputBorder, clear)},
    };
    for (const Case& expected : cases) {
        SCOPED_TRACE(expected.name);
        auto* button = item(expected.name);
        ASSERT_TRUE(button);
        EXPECT_EQ(textsIn(button), expected.texts);
        EXPECT_EQ(glyphsIn(button), expected.symbols);
        if (!expected.texts.isEmpty()) {
            EXPECT_COLOR_NEAR(titleColor(button), expected.foreground);
        }
        if (std::string(expected.name) == "ghost") {
            // No padding, fill or border: only the symbol and the text.
            EXPECT_FALSE(button->property("background").value<QQuickItem*>());
            continue;
        }
        EXPECT_COLOR_NEAR(harness.colorAt(button, {3, button->height() / 2}), expected.fill);
        EXPECT_COLOR_NEAR(harness.colorAt(button, {0, button->height() / 2}), expected.edge);
    }
}

// Behaviour that does not depend on the theme runs in one.
class ButtonBehaviour : public ButtonViews {};

TEST_P(ButtonBehaviour, PaddingAndFixedSizesFollowTheDesign) {
    struct Case {
        const char* name;
        int horizontal;
        int vertical;
    };
    const Case padded[] = {{"primary", 14, 8}, {"headerDanger", 14, 8}, {"ghost", 0, 0}};
    for (const Case& c : padded) {
        SCOPED_TRACE(c.name);
        auto* button = item(c.name);
        ASSERT_TRUE(button);
        auto* label = button->property("contentItem").value<QQuickItem*>();
        EXPECT_NEAR(button->width(), label->implicitWidth() + 2 * c.horizontal, 1);
        EXPECT_NEAR(button->height(), label->implicitHeight() + 2 * c.vertical, 1);
    }
    auto* square = item("square");
    EXPECT_EQ(QSizeF(square->width(), square->height()), QSizeF(40, 36));

    // The wide button takes its container's 300 and centres its title and symbol.
    auto* wide = item("wide");
    EXPECT_EQ(wide->width(), 300);
    // Title then symbol, the pair centred: as much room before the title as after the symbol.
    QQuickItem* title = nullptr;
    QQuickItem* symbol = nullptr;
    for (auto* child : wide->findChildren<QQuickItem*>()) {
        if (!child->inherits("QQuickText")) continue;
        (glyphsIn(child).isEmpty() ? title : symbol) = child;
    }
    ASSERT_TRUE(title && symbol);
    const qreal start = title->mapToItem(wide, QPointF(0, 0)).x();
    const qreal end = symbol->mapToItem(wide, QPointF(symbol->width(), 0)).x();
    EXPECT_LT(start, end);
    EXPECT_NEAR(start, 300 - end, 1.5);
    EXPECT_NEAR(wide->height(), std::max(title->implicitHeight(), symbol->implicitHeight()) + 20, 1);

    // An empty title still leaves the symbol, padding and border.
    auto* empty = item("emptyTitle");
    EXPECT_EQ(glyphsIn(empty), QStringList{"pencil"});
    EXPECT_GE(empty->width(), 28 + 14);
    EXPECT_COLOR_NEAR(harness.colorAt(empty, {0, empty->height() / 2}),
                      over(colors().inputBorder, harness.background()));
}

TEST_P(ButtonBehaviour, AClickCallsTheActionOnce) {
    const char* names[] = {"secondary",       "primary",      "danger", "square",
                           "headerSecondary", "headerDanger", "ghost",  "wide"};
    for (const char* name : names) {
        auto* button = item(name);
        ASSERT_TRUE(button);
        harness.click(button);
        EXPECT_EQ(harness.recorder().count(QString::fromLatin1(name)), 1) << name;
    }
}

TEST_P(ButtonBehaviour, DisabledHeaderButtonsAreDimmedAndDoNothing) {
    for (const char* name : {"headerSecondaryDisabled", "headerDangerDisabled"}) {
        SCOPED_TRACE(name);
        auto* button = item(name);
        ASSERT_TRUE(button);
        harness.click(button);
        EXPECT_EQ(harness.recorder().count(QString::fromLatin1(name)), 0);
        EXPECT_FALSE(button->isEnabled());
        EXPECT_DOUBLE_EQ(button->opacity(), 0.45);
    }
    QColor dimmed = colors().cardFill;
    dimmed.setAlphaF(dimmed.alphaF() * 0.45f);
    auto* disabled = item("headerSecondaryDisabled");
    EXPECT_COLOR_NEAR(harness.colorAt(disabled, {3, disabled->height() / 2}), over(dimmed, harness.background()));
}

// No member has a pressed look of its own: holding the button down changes nothing on screen.
TEST_P(ButtonBehaviour, PressingChangesNoPixel) {
    auto* primary = item("primary");
    ASSERT_TRUE(primary);
    const QImage before = harness.grab();
    const QPoint centre = primary->mapToScene(QPointF(primary->width() / 2, primary->height() / 2)).toPoint();
    QTest::mousePress(&harness.window(), Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_TRUE(primary->property("pressed").toBool());
    const QImage pressed = harness.grab();
    QTest::mouseRelease(&harness.window(), Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_EQ(before, pressed);
}

INSTANTIATE_TEST_SUITE_P(Themes, ButtonViews, ::testing::ValuesIn(kAllThemes), ThemeName());
INSTANTIATE_TEST_SUITE_P(OneTheme, ButtonBehaviour, ::testing::Values(Theme::Black), ThemeName());

}  // namespace
}  // namespace quorvelle::test
