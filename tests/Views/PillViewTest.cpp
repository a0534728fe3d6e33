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
            AppIdentityBadge {
                objectName: "longBadge"; status: AppIdentityStatus.Custom
                label: "Quorvelle talking to a very long custom backend address"
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

TEST_P(PillViews, StatusPillKeepsTheCallersColoursInEveryTheme) {
    auto* status = item("status");
    auto* translucent = item("translucent");
    ASSERT_TRUE(status && translucent);
    EXPECT_EQ(textsIn(status), QStringList{"Ready"});
    EXPECT_COLOR_NEAR(harness.colorAt(status, {status->width() / 2, 2}), QColor(0xd4, 0xf5, 0xdd));
    EXPECT_COLOR_NEAR(harness.colorAt(translucent, {translucent->width() / 2, 2}),
                      over(QColor(255, 0, 0, 128), harness.background()));
}

TEST_P(PillViews, MetadataPillShowsItsSymbolOnlyWhenGiven) {
    auto* withSymbol = item("pillWithSymbol");
    auto* plain = item("pillPlain");
    ASSERT_TRUE(withSymbol && plain);
    EXPECT_EQ(glyphsIn(withSymbol), QStringList{"waveform"});
    EXPECT_TRUE(glyphsIn(plain).isEmpty());
    EXPECT_EQ(textsIn(plain), QStringList{"42 WORDS"});
    // Without a symbol: the text and 10 on each side, no gap for the missing symbol.
    const QQuickItem* plainText = plain->childItems().first()->childItems().last();
    EXPECT_NEAR(plain->width(), plainText->width() + 20, 1);
    EXPECT_GT(withSymbol->width(), plain->width() + 6 + 8);
    EXPECT_COLOR_NEAR(harness.colorAt(plain, {5, plain->height() / 2}), colors().pillFill);
    EXPECT_COLOR_NEAR(harness.colorAt(plain, {plain->width() / 2, 0}), over(colors().pillBorder, harness.background()));
    EXPECT_COLOR_NEAR(plainText->property("color").value<QColor>(), colors().secondaryText);
}

TEST_P(PillViews, IdentityBadgeIsColouredByItsStatus) {
    const DesktopThemeColors c = colors();
    struct Case {
        const char* name;
        QColor dot;
        QColor text;
        QColor fill;
        QColor stroke;
    };
    const Case cases[] = {
        {"production", c.successText, c.successText, withAlpha(c.successBackground, 0.82),
         withAlpha(c.successText, 0.34)},
        {"local", c.warmText, c.warmText, withAlpha(c.warmBackground, 0.86), withAlpha(c.warmText, 0.38)},
        {"custom", c.primaryButtonFill, c.primaryText, withAlpha(c.headerIconBackground, 0.82),
         withAlpha(c.primaryButtonFill, 0.36)},
    };
    for (const Case& expected : cases) {
        SCOPED_TRACE(expected.name);
        auto* badge = item(expected.name);
        ASSERT_TRUE(badge);
        EXPECT_EQ(badge->width(), 150);
        EXPECT_EQ(textsIn(badge), QStringList{"Quorvelle"});
        const QColor fill = over(expected.fill, harness.background());
        EXPECT_COLOR_NEAR(harness.colorAt(badge, {10, badge->height() / 2}), over(expected.dot, fill));
        EXPECT_COLOR_NEAR(harness.colorAt(badge, {badge->width() - 14, badge->height() / 2}), fill);
        EXPECT_COLOR_NEAR(harness.colorAt(badge, {badge->width() / 2, 0}), over(expected.stroke, harness.background()));
        EXPECT_EQ(harness.evaluate(badge, "Accessible.name").toString(), QStringLiteral("Quorvelle"));
        const QQuickItem* label = badge->childItems().last()->childItems().last();
        EXPECT_COLOR_NEAR(label->property("color").value<QColor>(), expected.text);
    }
}

TEST_P(PillViews, LongIdentityLabelShrinksThenTruncatesWithin150) {
    auto* badge = item("longBadge");
    ASSERT_TRUE(badge);
    EXPECT_EQ(badge->width(), 150);
    const QQuickItem* label = badge->childItems().last()->childItems().last();
    EXPECT_LE(label->mapToItem(badge, QPointF(label->width(), 0)).x(), 150 - 7);
    EXPECT_TRUE(label->property("truncated").toBool());
    // Shrunk to the smallest size before cutting the text short.
    EXPECT_EQ(harness.evaluate(const_cast<QQuickItem*>(label), "fontInfo.pixelSize").toInt(), 7);
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
    std::map<std::string, std::vector<QColor>> seen;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* card = harness.find(QString::fromLatin1(c.name));
        ASSERT_TRUE(card);
        EXPECT_EQ(card->height(), 124);
        const DesktopThemePalette& p = c.palette;
        // Rows from the top: dots at 15..21, the panel at 31..85, the pill at 95..117.
        const std::vector<std::pair<QPointF, QColor>> samples = {
            {{4, 60}, p.background},
            {{13, 18}, over(p.dot, p.background)},
            {{card->width() - 15, 58}, over(p.panel, p.background)},
            {{104, 106}, over(p.pill, p.background)},
        };
        for (const auto& [point, expected] : samples) {
            const QColor actual = harness.colorAt(card, point);
            EXPECT_COLOR_NEAR(actual, expected) << " at " << point.x() << "," << point.y();
            seen[c.name].push_back(actual);
        }
        EXPECT_EQ(textsIn(card), QStringList{"Quorvelle"});
    }
    // Another active theme leaves every miniature as it was (the window around them changes).
    harness.setTheme(Theme::Light);
    harness.shoot("theme-previews-on-light");
    for (const Case& c : cases) {
        auto* card = harness.find(QString::fromLatin1(c.name));
        EXPECT_COLOR_NEAR(harness.colorAt(card, {4, 60}), seen[c.name][0]) << c.name;
        EXPECT_COLOR_NEAR(harness.colorAt(card, {104, 106}), seen[c.name][3]) << c.name;
    }
}

}  // namespace
}  // namespace quorvelle::test
