// Pills, the identity badge, the logo mark and the theme miniatures.
#include "ViewHarness.h"

#include "Views/Dashboard/Components/DesktopThemePalette.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

const char* kPillsScene = R"(
    Item {
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
            Row {
                spacing: 30
                QuorvelleLogoMark { objectName: "logo" }
                QuorvelleLogoMark { objectName: "compactLogo"; compact: true }
            }
        }
    })";

class PillViews : public ThemedSceneTest {
protected:
    void SetUp() override { ASSERT_TRUE(loadScene(kPillsScene, {520, 200}, "pills")); }
};

QColor withAlpha(QColor color, double alpha) {
    color.setAlphaF(float(color.alphaF() * alpha));
    return color;
}

TEST_P(PillViews, StatusPillsKeepTheCallersColoursAndMetadataPillsShowASymbolOnlyWhenGiven) {
    auto* status = item("status");
    auto* translucent = item("translucent");
    auto* withSymbol = item("pillWithSymbol");
    auto* plain = item("pillPlain");
    ASSERT_TRUE(status && translucent && withSymbol && plain);
    EXPECT_EQ(textsIn(status), QStringList{"Ready"});
    EXPECT_COLOR_NEAR(harness.colorAt(status, {status->width() / 2, 2}), QColor(0xd4, 0xf5, 0xdd));
    EXPECT_COLOR_NEAR(harness.colorAt(translucent, {translucent->width() / 2, 2}),
                      over(QColor(255, 0, 0, 128), harness.background()));
    EXPECT_EQ(glyphsIn(withSymbol), QStringList{"waveform"});
    EXPECT_TRUE(glyphsIn(plain).isEmpty());
    EXPECT_GT(withSymbol->width(), plain->width() + 6 + 8);
}

TEST_P(PillViews, IdentityBadgeIsColouredByItsStatus) {
    const DesktopThemeColors c = colors();
    struct Case {
        const char* name;
        QColor dot;
        QColor fill;
    };
    const Case cases[] = {
        {"production", c.successText, withAlpha(c.successBackground, 0.82)},
        {"local", c.warmText, withAlpha(c.warmBackground, 0.86)},
        {"custom", c.primaryButtonFill, withAlpha(c.headerIconBackground, 0.82)},
    };
    for (const Case& expected : cases) {
        SCOPED_TRACE(expected.name);
        auto* badge = item(expected.name);
        ASSERT_TRUE(badge);
        const QColor fill = over(expected.fill, harness.background());
        EXPECT_COLOR_NEAR(harness.colorAt(badge, {10, badge->height() / 2}), over(expected.dot, fill));
        EXPECT_COLOR_NEAR(harness.colorAt(badge, {badge->width() - 14, badge->height() / 2}), fill);
    }
}

INSTANTIATE_TEST_SUITE_P(Black, PillViews, ::testing::Values(Theme::Black), ThemeName());

TEST(ThemePreviewCards, DrawEachPaletteWhateverTheActiveTheme) {
    ViewHarness harness;
    harness.setTheme(Theme::Quorvelle);
    auto* root = harness.load(QStringLiteral(R"(
        Row {
            x: 12; y: 12; spacing: 12
            ThemePreviewCard { objectName: "quorvelle"; width: 180; palette: DesktopTheme.quorvellePalette }
            ThemePreviewCard { objectName: "black"; width: 180; palette: DesktopTheme.blackPalette }
            ThemePreviewCard { objectName: "light"; width: 240; palette: DesktopTheme.lightPalette }
        })"),
                              {640, 150});
    ASSERT_TRUE(root);
    harness.shoot("theme-previews-on-quorvelle");

    struct Case {
        const char* name;
        DesktopThemePalette palette;
    };
    const Case cases[] = {{"quorvelle", DesktopThemePalette::quorvelle()},
                          {"black", DesktopThemePalette::black()},
                          {"light", DesktopThemePalette::light()}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* card = harness.find(QString::fromLatin1(c.name));
        ASSERT_TRUE(card);
        const DesktopThemePalette& p = c.palette;
        // Rows from the top: dots at 15..21, the panel at 31..85, the pill at 95..117.
        const std::vector<std::pair<QPointF, QColor>> samples = {
            {{4, 60}, p.background},
            {{13, 18}, over(p.dot, p.background)},
            {{card->width() - 15, 58}, over(p.panel, p.background)},
            {{104, 106}, over(p.pill, p.background)},
        };
        for (const auto& [point, expected] : samples)
            EXPECT_COLOR_NEAR(harness.colorAt(card, point), expected) << " at " << point.x() << "," << point.y();
    }
}

}  // namespace
}  // namespace quorvelle::test
