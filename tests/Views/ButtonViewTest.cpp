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
};

TEST_P(ButtonViews, EachButtonShowsItsTitleAndSymbol) {
    const std::tuple<const char*, QStringList, QStringList> cases[] = {
        {"secondary", {"Edit"}, {"pencil"}},
        {"primary", {"Download"}, {"arrow.down.circle"}},
        {"danger", {"Delete"}, {"trash"}},
        {"headerSecondary", {"Export CSV"}, {"doc.on.doc"}},
        {"headerDanger", {"Clear"}, {}},
        {"ghost", {"Release notes"}, {"sparkles"}},
        {"wide", {"Link this device"}, {"arrow.up.circle"}},
        {"square", {}, {"document.badge.plus"}},
    };
    for (const auto& [name, texts, symbols] : cases) {
        auto* button = item(name);
        ASSERT_TRUE(button);
        EXPECT_EQ(textsIn(button), texts) << name;
        EXPECT_EQ(glyphsIn(button), symbols) << name;
    }
    // The ghost button has no padding, fill or border: only the symbol and the text.
    EXPECT_FALSE(item("ghost")->property("background").value<QQuickItem*>());
}

TEST_P(ButtonViews, AClickCallsTheActionOnceUnlessTheButtonIsDisabled) {
    for (const char* name : {"secondary", "primary", "danger", "square", "headerSecondary", "headerDanger", "ghost",
                             "wide", "headerSecondaryDisabled", "headerDangerDisabled"}) {
        auto* button = item(name);
        ASSERT_TRUE(button);
        harness.click(button);
        const bool disabled = QByteArray(name).endsWith("Disabled");
        EXPECT_EQ(harness.recorder().count(QString::fromLatin1(name)), disabled ? 0 : 1) << name;
        EXPECT_DOUBLE_EQ(button->opacity(), disabled ? 0.45 : 1.0) << name;
    }
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
