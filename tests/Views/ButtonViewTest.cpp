// The dashboard's push buttons.
#include "ViewHarness.h"

#include <gtest/gtest.h>

#include <QTest>

namespace quorvelle::test {
namespace {

TEST(ButtonViews, EachShowsItsTitleAndSymbolAndAClickCallsItsActionOnceUnlessDisabled) {
    ViewHarness harness;
    ASSERT_TRUE(harness.load(R"(
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
                HeaderSecondaryButton { objectName: "headerSecondaryDisabled"; title: "Export CSV"; isDisabled: true; callback: () => recorder.record("headerSecondaryDisabled") }
                HeaderDangerButton { objectName: "headerDangerDisabled"; title: "Clear"; isDisabled: true; callback: () => recorder.record("headerDangerDisabled") }
            }
            WideBlackButton { objectName: "wide"; width: 300; title: "Link this device"; symbolName: "arrow.up.circle"; callback: () => recorder.record("wide") }
        })",
                             {560, 230}));
    harness.shootInEveryTheme("buttons");
    const struct {
        const char* name;
        const char* title;
        const char* symbol;
    } cases[] = {
        {"secondary", "Edit", "pencil"},
        {"primary", "Download", "arrow.down.circle"},
        {"danger", "Delete", "trash"},
        {"square", nullptr, "document.badge.plus"},
        {"headerSecondary", "Export CSV", "doc.on.doc"},
        {"headerDanger", "Clear", nullptr},
        {"ghost", "Release notes", "sparkles"},
        {"wide", "Link this device", "arrow.up.circle"},
        {"headerSecondaryDisabled", "Export CSV", nullptr},
        {"headerDangerDisabled", "Clear", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QQuickItem* button = harness.item(c.name);
        ASSERT_TRUE(button);
        EXPECT_EQ(textsIn(button), c.title ? QStringList{c.title} : QStringList());
        EXPECT_EQ(glyphsIn(button), c.symbol ? QStringList{c.symbol} : QStringList());
        harness.click(button);
        const bool disabled = QByteArray(c.name).endsWith("Disabled");
        EXPECT_EQ(harness.recorder().count(c.name), disabled ? 0 : 1);
        EXPECT_DOUBLE_EQ(button->opacity(), disabled ? 0.45 : 1.0);
    }
    // The ghost button has no padding, fill or border: only the symbol and the text.
    EXPECT_FALSE(harness.item("ghost")->property("background").value<QQuickItem*>());

    // No member has a pressed look of its own: holding the button down changes nothing on screen.
    QQuickItem* primary = harness.item("primary");
    const QImage before = harness.grab();
    const QPoint centre = primary->mapToScene(QPointF(primary->width() / 2, primary->height() / 2)).toPoint();
    QTest::mousePress(&harness.window(), Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_TRUE(primary->property("pressed").toBool());
    EXPECT_EQ(harness.grab(), before);
    QTest::mouseRelease(&harness.window(), Qt::LeftButton, Qt::NoModifier, centre);
}

}  // namespace
}  // namespace quorvelle::test
