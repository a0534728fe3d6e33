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

TEST_P(ButtonViews, AClickCallsTheActionOnce) {
    const char* names[] = {"secondary",       "primary",      "danger", "square",
                           "headerSecondary", "headerDanger", "ghost",  "wide"};
    for (const char* name : names) {
        auto* button = item(name);
        ASSERT_TRUE(button);
        harness.click(button);
        EXPECT_EQ(harness.recorder().count(QString::fromLatin1(name)), 1) << name;
    }
}

TEST_P(ButtonViews, DisabledHeaderButtonsAreDimmedAndDoNothing) {
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
TEST_P(ButtonViews, PressingChangesNoPixel) {
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

INSTANTIATE_TEST_SUITE_P(Black, ButtonViews, ::testing::Values(Theme::Black), ThemeName());

}  // namespace
}  // namespace quorvelle::test
