// The view layer's foundation: fonts, symbols, text styles, palette-derived colours, the
// animation switch and the painted soft shape.
#include "ViewHarness.h"

#include "Views/Common/Motion.h"
#include "Views/Common/SymbolTable.h"
#include "Views/Common/ViewFonts.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QQuickStyle>
#include <QRegularExpression>
#include <QSet>

namespace quorvelle::test {
namespace {

TEST(ViewFoundation, PinsTheFusionStyleAndTheFontFamilies) {
    ViewHarness harness;
    harness.setTheme(Theme::Light);
    EXPECT_EQ(QQuickStyle::name(), QStringLiteral("Fusion"));
    const QStringList interStyles = QFontDatabase::styles(ViewFonts::ui());
    // Real Medium and SemiBold faces, so that the weights do not collapse into Regular/Bold.
    EXPECT_TRUE(interStyles.contains(QStringLiteral("Medium"))) << interStyles.join(',').toStdString();
    EXPECT_TRUE(interStyles.contains(QStringLiteral("Semi Bold"))) << interStyles.join(',').toStdString();
    EXPECT_TRUE(QFontDatabase::families().contains(ViewFonts::icons()));
    EXPECT_TRUE(QFontDatabase::families().contains(ViewFonts::mono()));

    auto* root = harness.load(QStringLiteral(R"(
        Column {
            UiText { objectName: "medium"; text: "Medium"; font.weight: Font.Medium }
            UiText { objectName: "plain"; text: "Plain" }
            UiText { objectName: "markup"; text: "<b>bold</b>" }
            Text { objectName: "monospaced"; text: "mono"; font: MenuType.monospaced }
        })"));
    ASSERT_TRUE(root);
    const QFont medium = harness.find("medium")->property("font").value<QFont>();
    EXPECT_EQ(QFontInfo(medium).family(), ViewFonts::ui());
    EXPECT_EQ(QFontInfo(medium).styleName(), QStringLiteral("Medium"));
    EXPECT_EQ(QFontInfo(harness.find("plain")->property("font").value<QFont>()).family(), ViewFonts::ui());
    EXPECT_EQ(QFontInfo(harness.find("monospaced")->property("font").value<QFont>()).family(), ViewFonts::mono());
    // The user's words are never read as markup.
    EXPECT_EQ(harness.find("markup")->property("textFormat").toInt(), 0 /* Text.PlainText */);
    harness.shoot("foundation-fonts");
}

TEST(ViewFoundation, MenuStyleDerivesItsColoursFromTheWindowPalette) {
    ViewHarness harness;
    auto* root = harness.load(QStringLiteral(R"(
        Item {
            property color primary: MenuStyle.primary
            property color quaternary: MenuStyle.quaternary
            property color fill: MenuStyle.quaternaryFill(0.5)
            property color window: MenuStyle.window
            property bool dark: MenuStyle.dark
        })"));
    ASSERT_TRUE(root);
    const QColor text = QGuiApplication::palette().color(QPalette::Active, QPalette::WindowText);
    const struct {
        const char* name;
        double alpha;
    } layers[] = {{"primary", 0.85}, {"quaternary", 0.1}, {"fill", 0.05}};
    for (const auto& layer : layers) {
        const QColor c = root->property(layer.name).value<QColor>();
        EXPECT_EQ(c.rgb() & 0xffffff, text.rgb() & 0xffffff) << layer.name;
        EXPECT_NEAR(c.alphaF(), layer.alpha, 0.01) << layer.name;
    }
    EXPECT_EQ(root->property("window").value<QColor>(), QGuiApplication::palette().color(QPalette::Window));
    EXPECT_FALSE(root->property("dark").toBool());
}

// Every symbol of the table must draw as one glyph: a name the font does not know falls back to
// its letters, which would show as a word.
TEST(Symbols, EveryTableEntryDrawsAsOneGlyph) {
    ViewHarness harness;
    harness.setTheme(Theme::Light);
    QStringList icons;
    const QStringList names = SymbolTable::symbolNames();
    for (int i = 0; i < names.size(); ++i)
        icons << QStringLiteral("Icon { objectName: \"icon%1\"; name: \"%2\"; size: 20 }").arg(i).arg(names[i]);
    auto* root = harness.load(QStringLiteral("Flow { width: 480; spacing: 6; %1 }").arg(icons.join(QLatin1Char('\n'))));
    ASSERT_TRUE(root);
    for (int i = 0; i < names.size(); ++i) {
        auto* icon = harness.find(QStringLiteral("icon%1").arg(i));
        ASSERT_TRUE(icon);
        EXPECT_FALSE(icon->property("text").toString().isEmpty()) << names[i].toStdString();
        // One glyph is about one em wide (23 px here); even the shortest name spelt out is wider.
        EXPECT_LE(icon->implicitWidth(), 30) << names[i].toStdString() << " drew as text";
        EXPECT_GE(icon->implicitWidth(), 15) << names[i].toStdString();
    }
    harness.shoot("foundation-symbols");
}

TEST(Symbols, AnUnknownNameDrawsNothing) {
    ViewHarness harness;
    auto* root = harness.load(QStringLiteral("Icon { name: \"no.such.symbol\" }"));
    ASSERT_TRUE(root);
    EXPECT_TRUE(root->property("text").toString().isEmpty());
}

// Symbol names reach Icon through `name:` and through the `symbolName:` of the components.
TEST(Symbols, EveryNameInTheQmlSourcesIsInTheTable) {
    const QRegularExpression assignment(QStringLiteral(R"re(\b(?:name|symbolName)\s*:\s*"([^"]+)")re"));
    const QStringList names = SymbolTable::symbolNames();
    const QSet<QString> known(names.begin(), names.end());
    int found = 0;
    QDirIterator it(QStringLiteral(QUORVELLE_VIEWS_SOURCE_DIR), {QStringLiteral("*.qml")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QString source = QString::fromUtf8(file.readAll());
        for (auto match = assignment.globalMatch(source); match.hasNext();) {
            const QString symbol = match.next().captured(1);
            ++found;
            EXPECT_TRUE(known.contains(symbol)) << symbol.toStdString() << " in " << path.toStdString();
        }
    }
    EXPECT_GT(found, 0) << "no symbol names found: the scan is looking in the wrong place";
}

TEST(SoftShapeItem, PaintsFillStrokeGradientAndBlur) {
    ViewHarness harness;
    auto* root = harness.load(QStringLiteral(R"(
        Item {
            width: 480; height: 160
            SoftShape { objectName: "fill"; x: 10; y: 10; width: 100; height: 60; cornerRadius: 12; color: "#ff0000" }
            SoftShape { objectName: "stroke"; x: 120; y: 10; width: 100; height: 60; shape: SoftShape.Capsule
                        color: "#00ff00"; strokeWidth: 4 }
            SoftShape { objectName: "gradient"; x: 230; y: 10; width: 100; height: 100; color: "#0000ff"; endColor: "#ffff00" }
            SoftShape { objectName: "blur"; x: 340; y: 10; width: 120; height: 120; padding: 30; blur: 8
                        shape: SoftShape.Circle; color: "#ffffff" }
        })"));
    ASSERT_TRUE(root);
    harness.setTheme(Theme::Black);
    harness.shoot("foundation-softshape");
    const QColor black(0, 0, 0);

    auto* fill = harness.find("fill");
    EXPECT_COLOR_NEAR(harness.colorAt(fill, {50, 30}), QColor(255, 0, 0));
    EXPECT_COLOR_NEAR(harness.colorAt(fill, {1, 1}), black);  // outside the rounded corner

    auto* stroke = harness.find("stroke");
    EXPECT_COLOR_NEAR(harness.colorAt(stroke, {50, 30}), black);  // only the outline is drawn
    EXPECT_COLOR_NEAR(harness.colorAt(stroke, {50, 1}), QColor(0, 255, 0));

    auto* gradient = harness.find("gradient");
    EXPECT_COLOR_NEAR(harness.colorAt(gradient, {2, 2}), QColor(0, 0, 255));
    EXPECT_COLOR_NEAR(harness.colorAt(gradient, {97, 97}), QColor(255, 255, 0));

    // The blur's own spread is checked by the SoftShapeBlur tests; on screen the edge is soft.
    auto* blur = harness.find("blur");
    EXPECT_COLOR_NEAR(harness.colorAt(blur, {60, 60}), QColor(255, 255, 255));
    const int onEdge = harness.colorAt(blur, {60, 30}).red();
    EXPECT_GT(onEdge, 90);
    EXPECT_LT(onEdge, 170);
}

}  // namespace
}  // namespace quorvelle::test
