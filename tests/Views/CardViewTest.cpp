// Cards and headings of the dashboard kit.
#include "ViewHarness.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

TEST(CardViews, ShowTheirTextsSymbolsAndTrailingViewAndABannerWraps) {
    ViewHarness harness;
    harness.setTheme(Theme::Light);
    ASSERT_TRUE(harness.load(R"(
        Column {
            x: 20; y: 20; width: 600; spacing: 12
            SurfaceCard { width: parent.width; Rectangle { implicitWidth: 40; implicitHeight: 20; color: "red" } }
            PageHeaderCard {
                objectName: "header"; width: parent.width
                title: "Overview"; subtitle: "Usage and recent activity"; symbolName: "house"
                trailing: Component { Rectangle { objectName: "trailing"; implicitWidth: 60; implicitHeight: 24 } }
            }
            Row {
                spacing: 12
                SectionHeading { symbolName: "book.closed"; title: "Dictionary"; subtitle: "" }
                MetricCard { width: 260; title: "WORDS"; value: "1204"; subtitle: "this week"; symbolName: "text.cursor" }
                CompactInfoCard { objectName: "compact"; width: 200; eyebrow: "MODEL"; value: "Base" }
            }
            InlineInfoBanner { objectName: "banner"; width: parent.width; message: "Saved." }
            InlineInfoBanner {
                objectName: "longBanner"; width: 300
                message: "A long message that cannot fit on one line of a narrow banner wraps onto the next lines."
            }
        })",
                             {640, 620}));
    harness.shootInEveryTheme("cards");
    QQuickItem* header = harness.item("header");
    QQuickItem* trailing = harness.item("trailing");
    QQuickItem* banner = harness.item("banner");
    ASSERT_TRUE(header && trailing && banner);
    EXPECT_EQ(textsIn(header), (QStringList{"Overview", "Usage and recent activity"}));
    EXPECT_EQ(glyphsIn(header), QStringList{"house"});
    EXPECT_EQ(harness.evaluate(harness.item("main-window-page-title"), "Accessible.name").toString(), "Overview");
    // The trailing view ends at the card's inner right edge.
    EXPECT_NEAR(trailing->mapToItem(header, QPointF(trailing->width(), 0)).x(), header->width() - 24, 1);
    EXPECT_EQ(textsIn(harness.item("compact")), (QStringList{"MODEL", "Base"}));
    EXPECT_EQ(glyphsIn(banner) + textsIn(banner), (QStringList{"sparkles", "Saved."}));
    EXPECT_GT(harness.item("longBanner")->height(), banner->height() + 10);
}

}  // namespace
}  // namespace quorvelle::test
