// Cards, headings, pills and badges of the dashboard kit.
#include "ViewHarness.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

TEST(CardViews, ShowTheirTextsSymbolsAndColours) {
    ViewHarness harness;
    ASSERT_TRUE(harness.load(R"(
        Column {
            x: 20; y: 20; width: 600; spacing: 12
            PageHeaderCard {
                objectName: "header"; width: parent.width
                title: "Overview"; subtitle: "Usage and recent activity"; symbolName: "house"
                trailing: Component { Rectangle { objectName: "trailing"; implicitWidth: 60; implicitHeight: 24 } }
            }
            CompactInfoCard { objectName: "compact"; width: 200; eyebrow: "MODEL"; value: "Base" }
            InlineInfoBanner { objectName: "banner"; width: parent.width; message: "Saved." }
            InlineInfoBanner {
                objectName: "longBanner"; width: 300
                message: "A long message that cannot fit on one line of a narrow banner wraps onto the next lines."
            }
            Row {
                spacing: 12
                StatusPill { objectName: "status"; title: "Busy"; accent: "white"; background: Qt.rgba(1, 0, 0, 0.5) }
                MetadataPill { objectName: "pillWithSymbol"; title: "42 WORDS"; symbolName: "waveform" }
                MetadataPill { objectName: "pillPlain"; title: "42 WORDS" }
            }
            Row {
                spacing: 12
                AppIdentityBadge { objectName: "production"; label: "Quorvelle"; status: AppIdentityStatus.Production; helpText: "Version 1.0" }
                AppIdentityBadge { objectName: "local"; label: "Quorvelle"; status: AppIdentityStatus.Local }
                AppIdentityBadge { objectName: "custom"; label: "Quorvelle"; status: AppIdentityStatus.Custom }
            }
        })",
                             {640, 760}));
    harness.shootInEveryTheme("cards");
    QQuickItem* header = harness.item("header");
    QQuickItem* banner = harness.item("banner");
    QQuickItem* status = harness.item("status");
    ASSERT_TRUE(header && banner && status);
    EXPECT_EQ(glyphsIn(header) + textsIn(header), (QStringList{"house", "Overview", "Usage and recent activity"}));
    EXPECT_EQ(harness.evaluate(harness.item("main-window-page-title"), "Accessible.name").toString(), "Overview");
    EXPECT_TRUE(harness.item("trailing")->isVisible());
    EXPECT_EQ(textsIn(harness.item("compact")), (QStringList{"MODEL", "Base"}));
    EXPECT_EQ(glyphsIn(banner) + textsIn(banner), (QStringList{"sparkles", "Saved."}));
    EXPECT_GT(harness.item("longBanner")->height(), banner->height() + 10);

    // A status pill keeps the caller's colours; a metadata pill shows a symbol only when given one.
    EXPECT_COLOR_NEAR(harness.colorAt(status, {status->width() / 2, 2}),
                      over(QColor(255, 0, 0, 128), harness.background()));
    EXPECT_EQ(glyphsIn(harness.item("pillWithSymbol")), QStringList{"waveform"});
    EXPECT_TRUE(glyphsIn(harness.item("pillPlain")).isEmpty());
    // The identity badge's dot takes its status's colour, over the badge's own fill.
    QQuickItem* badge = harness.item("local");
    const QColor fill = harness.colorAt(badge, {badge->width() - 14, badge->height() / 2});
    EXPECT_COLOR_NEAR(harness.colorAt(badge, {10, badge->height() / 2}), over(harness.colors().warmText, fill));
}

}  // namespace
}  // namespace quorvelle::test
