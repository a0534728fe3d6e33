// Cards and headings of the dashboard kit, in each theme.
#include "ViewHarness.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

const char* kCardsScene = R"(
    Item {
        Column {
            x: 20; y: 20; width: 600; spacing: 12
            SurfaceCard {
                objectName: "surface"; width: parent.width
                Rectangle { objectName: "child"; implicitWidth: 40; implicitHeight: 20; color: "red" }
            }
            PageHeaderCard {
                objectName: "header"; width: parent.width
                title: "Overview"; subtitle: "Usage and recent activity"; symbolName: "house"
                trailing: Component {
                    Rectangle { objectName: "trailing"; implicitWidth: 60; implicitHeight: 24; color: "green" }
                }
            }
            Row {
                spacing: 12
                SectionHeading { objectName: "heading"; symbolName: "book.closed"; title: "Dictionary"; subtitle: "" }
                MetricCard { objectName: "metric"; width: 260; title: "WORDS"; value: "1204"; subtitle: "this week"; symbolName: "text.cursor" }
                CompactInfoCard { objectName: "compact"; width: 200; eyebrow: "MODEL"; value: "Base" }
            }
            InlineInfoBanner { objectName: "banner"; width: parent.width; message: "Saved." }
            InlineInfoBanner {
                objectName: "longBanner"; width: 300
                message: "A long message that cannot fit on one line of a narrow banner wraps onto the next lines."
            }
        }
    })";

class CardViews : public ThemedSceneTest {
protected:
    void SetUp() override { ASSERT_TRUE(loadScene(kCardsScene, {640, 620}, "cards")); }
};

TEST_P(CardViews, ShowTheirTextsSymbolsAndTrailingViewAndABannerWraps) {
    auto* header = item("header");
    auto* trailing = item("trailing");
    auto* compact = item("compact");
    auto* banner = item("banner");
    auto* longBanner = item("longBanner");
    ASSERT_TRUE(header && trailing && compact && banner && longBanner);
    EXPECT_EQ(textsIn(header), (QStringList{"Overview", "Usage and recent activity"}));
    EXPECT_EQ(glyphsIn(header), QStringList{"house"});
    EXPECT_EQ(harness.evaluate(item("main-window-page-title"), "Accessible.name").toString(),
              QStringLiteral("Overview"));
    // The trailing view ends at the card's inner right edge.
    EXPECT_NEAR(trailing->mapToItem(header, QPointF(trailing->width(), 0)).x(), header->width() - 24, 1);
    EXPECT_EQ(textsIn(compact), (QStringList{"MODEL", "Base"}));
    // The compact card's dot is the secondary text over the tile.
    EXPECT_COLOR_NEAR(harness.colorAt(compact, {14 + 17, 14 + 17}),
                      over(colors().secondaryText, colors().headerIconBackground));
    EXPECT_EQ(glyphsIn(banner), QStringList{"sparkles"});
    EXPECT_EQ(textsIn(banner), QStringList{"Saved."});
    EXPECT_GT(longBanner->height(), banner->height() + 10);
}

INSTANTIATE_TEST_SUITE_P(Light, CardViews, ::testing::Values(Theme::Light), ThemeName());

}  // namespace
}  // namespace quorvelle::test
