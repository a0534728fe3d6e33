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

TEST_P(CardViews, PageHeaderShowsSymbolTitleSubtitleAndTrailingView) {
    auto* header = item("header");
    auto* title = item("main-window-page-title");
    ASSERT_TRUE(header && title);
    EXPECT_EQ(textsIn(header), (QStringList{"Overview", "Usage and recent activity"}));
    EXPECT_EQ(glyphsIn(header), QStringList{"house"});
    EXPECT_EQ(harness.evaluate(title, "Accessible.name").toString(), QStringLiteral("Overview"));
    EXPECT_COLOR_NEAR(title->property("color").value<QColor>(), colors().primaryText);

    // The symbol tile: 40 square, 24 in from the card's edges, vertically centred.
    const QPointF tileTop = QPointF(24 + 20, (header->height() - 40) / 2 + 3);
    EXPECT_COLOR_NEAR(harness.colorAt(header, tileTop), colors().headerIconBackground);

    // The trailing view ends at the card's inner right edge.
    auto* trailing = item("trailing");
    ASSERT_TRUE(trailing);
    const QPointF trailingEnd = trailing->mapToItem(header, QPointF(trailing->width(), 0));
    EXPECT_NEAR(trailingEnd.x(), header->width() - 24, 1);
}

TEST_P(CardViews, CompactInfoCardUsesTheInputColoursWithASecondaryDot) {
    auto* compact = item("compact");
    ASSERT_TRUE(compact);
    EXPECT_EQ(textsIn(compact), (QStringList{"MODEL", "Base"}));
    // The tile or the two text lines, whichever is taller, inside 14 of padding.
    EXPECT_GE(compact->height(), 34 + 28);
    EXPECT_LE(compact->height(), 34 + 28 + 4);
    EXPECT_COLOR_NEAR(harness.colorAt(compact, {compact->width() - 8, compact->height() / 2}),
                      colors().inputBackground);
    EXPECT_COLOR_NEAR(harness.colorAt(compact, {14 + 17, 14 + 17}),
                      over(colors().secondaryText, colors().headerIconBackground));
    EXPECT_COLOR_NEAR(harness.colorAt(compact, {14 + 4, 14 + 17}), colors().headerIconBackground);
}

TEST_P(CardViews, InlineBannerShowsSparklesAndWrapsALongMessage) {
    auto* banner = item("banner");
    auto* longBanner = item("longBanner");
    ASSERT_TRUE(banner && longBanner);
    EXPECT_EQ(glyphsIn(banner), QStringList{"sparkles"});
    EXPECT_EQ(textsIn(banner), QStringList{"Saved."});
    EXPECT_COLOR_NEAR(harness.colorAt(banner, {banner->width() - 8, banner->height() / 2}),
                      colors().headerIconBackground);
    EXPECT_GT(longBanner->height(), banner->height() + 10);
    // 12 above the text, however many lines it takes.
    QQuickItem* text = nullptr;
    for (QQuickItem* candidate : longBanner->findChildren<QQuickItem*>()) {
        if (candidate->property("text").toString().startsWith(QLatin1String("A long"))) text = candidate;
    }
    ASSERT_TRUE(text);
    EXPECT_GT(text->property("lineCount").toInt(), 1);
    EXPECT_NEAR(text->mapToItem(longBanner, QPointF(0, 0)).y(), 12, 1);
    EXPECT_NEAR(longBanner->height() - text->height(), 24, 1);
}

INSTANTIATE_TEST_SUITE_P(Light, CardViews, ::testing::Values(Theme::Light), ThemeName());

}  // namespace
}  // namespace quorvelle::test
