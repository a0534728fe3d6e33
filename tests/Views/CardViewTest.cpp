// Cards, headings, pills and badges of the dashboard kit.
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

QColor withAlpha(QColor color, double alpha) {
    color.setAlphaF(float(color.alphaF() * alpha));
    return color;
}

TEST(PillViews, PillsKeepTheCallersColoursAndBadgesAreColouredByTheirStatus) {
    ViewHarness harness;
    ASSERT_TRUE(harness.load(R"(
        Column {
            x: 20; y: 20; spacing: 14
            Row {
                spacing: 12
                StatusPill { objectName: "status"; title: "Ready"; accent: "#1a7f37"; background: "#d4f5dd" }
                StatusPill { objectName: "translucent"; title: "Busy"; accent: "white"; background: Qt.rgba(1, 0, 0, 0.5) }
                MetadataPill { objectName: "pillWithSymbol"; title: "42 WORDS"; symbolName: "waveform" }
                MetadataPill { objectName: "pillPlain"; title: "42 WORDS" }
            }
            Row {
                spacing: 12
                AppIdentityBadge { objectName: "production"; label: "Quorvelle"; status: AppIdentityStatus.Production; helpText: "Version 1.0" }
                AppIdentityBadge { objectName: "local"; label: "Quorvelle"; status: AppIdentityStatus.Local }
                AppIdentityBadge { objectName: "custom"; label: "Quorvelle"; status: AppIdentityStatus.Custom }
            }
            Row { spacing: 30; QuorvelleLogoMark {} QuorvelleLogoMark { compact: true } }
        })",
                             {520, 200}));
    harness.shootInEveryTheme("pills");
    QQuickItem* status = harness.item("status");
    QQuickItem* translucent = harness.item("translucent");
    QQuickItem* withSymbol = harness.item("pillWithSymbol");
    QQuickItem* plain = harness.item("pillPlain");
    ASSERT_TRUE(status && translucent && withSymbol && plain);
    EXPECT_EQ(textsIn(status), QStringList{"Ready"});
    EXPECT_COLOR_NEAR(harness.colorAt(status, {status->width() / 2, 2}), QColor(0xd4, 0xf5, 0xdd));
    EXPECT_COLOR_NEAR(harness.colorAt(translucent, {translucent->width() / 2, 2}),
                      over(QColor(255, 0, 0, 128), harness.background()));
    EXPECT_EQ(glyphsIn(withSymbol), QStringList{"waveform"});
    EXPECT_TRUE(glyphsIn(plain).isEmpty());
    EXPECT_GT(withSymbol->width(), plain->width() + 6 + 8);

    const DesktopThemeColors c = harness.colors();
    const struct {
        const char* name;
        QColor dot;
        QColor fill;
    } badges[] = {
        {"production", c.successText, withAlpha(c.successBackground, 0.82)},
        {"local", c.warmText, withAlpha(c.warmBackground, 0.86)},
        {"custom", c.primaryButtonFill, withAlpha(c.headerIconBackground, 0.82)},
    };
    for (const auto& expected : badges) {
        SCOPED_TRACE(expected.name);
        QQuickItem* badge = harness.item(expected.name);
        ASSERT_TRUE(badge);
        const QColor fill = over(expected.fill, harness.background());
        EXPECT_COLOR_NEAR(harness.colorAt(badge, {10, badge->height() / 2}), over(expected.dot, fill));
        EXPECT_COLOR_NEAR(harness.colorAt(badge, {badge->width() - 14, badge->height() / 2}), fill);
    }
}

}  // namespace
}  // namespace quorvelle::test
