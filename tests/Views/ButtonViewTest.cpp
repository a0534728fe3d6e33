// The dashboard's push buttons.
#include "ViewHarness.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace quorvelle::test {
namespace {

TEST(ButtonViews, EachShowsItsTitleAndSymbolAndAClickCallsItsActionOnceUnlessDisabled) {
    ViewHarness harness;
    ASSERT_TRUE(harness.load(loggedScene(R"(
        Flow {
            x: 20; y: 20; width: 520; spacing: 10
            SecondaryActionButton { objectName: "secondary"; title: "Edit"; symbolName: "pencil"; callback: () => scene.note(objectName) }
            PrimaryActionButton { objectName: "primary"; title: "Download"; symbolName: "arrow.down.circle"; callback: () => scene.note(objectName) }
            DangerActionButton { objectName: "danger"; title: "Delete"; symbolName: "trash"; callback: () => scene.note(objectName) }
            IconSquareButton { objectName: "square"; symbolName: "document.badge.plus"; callback: () => scene.note(objectName) }
            HeaderSecondaryButton { objectName: "headerSecondary"; title: "Export CSV"; symbolName: "doc.on.doc"; callback: () => scene.note(objectName) }
            HeaderDangerButton { objectName: "headerDanger"; title: "Clear"; callback: () => scene.note(objectName) }
            HeaderGhostButton { objectName: "ghost"; title: "Release notes"; symbolName: "sparkles"; callback: () => scene.note(objectName) }
            HeaderSecondaryButton { objectName: "disabledSecondary"; title: "Export CSV"; isDisabled: true; callback: () => scene.note(objectName) }
            HeaderDangerButton { objectName: "disabledDanger"; title: "Clear"; isDisabled: true; callback: () => scene.note(objectName) }
            WideBlackButton { objectName: "wide"; width: 300; title: "Link this device"; symbolName: "arrow.up.circle"; callback: () => scene.note(objectName) }
        })"),
                             {560, 230}));
    harness.shootInEveryTheme("buttons");
    QStringList called;
    for (QQuickItem* button : harness.root()->childItems().first()->childItems()) {
        const QString name = button->objectName();
        SCOPED_TRACE(name.toStdString());
        const QStringList given{button->property("title").toString(), button->property("symbolName").toString()};
        EXPECT_EQ(textsIn(button) + glyphsIn(button), given.filter(QRegularExpression(".")));
        harness.click(button);
        const bool disabled = name.startsWith("disabled");
        if (!disabled) called << name;
        EXPECT_EQ(harness.log(), called);
        EXPECT_DOUBLE_EQ(button->opacity(), disabled ? 0.45 : 1.0);
    }
    EXPECT_EQ(called.size(), 8);
    // The ghost button has no padding, fill or border: only the symbol and the text.
    EXPECT_FALSE(harness.item("ghost")->property("background").value<QQuickItem*>());
}

}  // namespace
}  // namespace quorvelle::test
