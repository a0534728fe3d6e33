// The view layer's foundation: fonts, symbols and text styles. The painted soft shape is sampled
// by the overlay's tests and its blur by the SoftShapeBlur tests.
#include "ViewHarness.h"

#include "Views/Common/SymbolTable.h"
#include "Views/Common/ViewFonts.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QQuickStyle>
#include <QRegularExpression>

namespace quorvelle::test {
namespace {

TEST(ViewFoundation, PinsTheFusionStyleAndTheFontFamiliesAndDrawsEverySymbolAsOneGlyph) {
    ViewHarness harness;
    harness.setTheme(Theme::Light);
    EXPECT_EQ(QQuickStyle::name(), "Fusion");
    // Real Medium and SemiBold faces, so that the weights do not collapse into Regular/Bold.
    for (const char* style : {"Medium", "Semi Bold"})
        EXPECT_TRUE(QFontDatabase::styles(ViewFonts::ui()).contains(style)) << style;

    ASSERT_TRUE(harness.load(R"(
        Column {
            UiText { objectName: "medium"; text: "Medium"; font.weight: Font.Medium }
            UiText { objectName: "markup"; text: "<b>bold</b>" }
            Text { objectName: "monospaced"; text: "mono"; font: MenuType.monospaced }
        })"));
    const auto fontOf = [&](const char* name) {
        return QFontInfo(harness.item(name)->property("font").value<QFont>());
    };
    EXPECT_EQ(fontOf("medium").styleName(), "Medium");
    EXPECT_EQ(fontOf("monospaced").family(), ViewFonts::mono());
    // The user's words are never read as markup.
    EXPECT_EQ(harness.find("markup")->property("textFormat").toInt(), 0 /* Text.PlainText */);
    harness.shoot("foundation-fonts");

    // Every symbol of the table draws as one glyph: a name the font does not know would fall back
    // to its letters and show as a word. An unknown name draws nothing.
    QStringList icons{"Icon { objectName: 'unknown'; name: 'no.such.symbol' }"};
    const QStringList names = SymbolTable::symbolNames();
    for (int i = 0; i < names.size(); ++i)
        icons << QStringLiteral("Icon { objectName: 'icon%1'; name: '%2'; size: 20 }").arg(i).arg(names[i]);
    ASSERT_TRUE(harness.load(QStringLiteral("Flow { width: 480; spacing: 6; %1 }").arg(icons.join('\n'))));
    EXPECT_TRUE(harness.item("unknown")->property("text").toString().isEmpty());
    for (int i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i].toStdString());
        QQuickItem* icon = harness.item(QStringLiteral("icon%1").arg(i));
        ASSERT_TRUE(icon);
        // One glyph is about one em wide (23 px here); even the shortest name spelt out is wider.
        EXPECT_LE(icon->implicitWidth(), 30);
        EXPECT_GE(icon->implicitWidth(), 15);
    }
    harness.shoot("foundation-symbols");
}

// Symbol names reach Icon through `name:` and through the `symbolName:` of the components.
TEST(Symbols, EveryNameInTheQmlSourcesIsInTheTable) {
    const QRegularExpression assignment(QStringLiteral(R"re(\b(?:name|symbolName)\s*:\s*"([^"]+)")re"));
    int found = 0;
    QDirIterator it(QUORVELLE_VIEWS_SOURCE_DIR, {"*.qml"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        for (auto match = assignment.globalMatch(QString::fromUtf8(file.readAll())); match.hasNext(); ++found) {
            const QString symbol = match.next().captured(1);
            EXPECT_TRUE(SymbolTable::glyphName(symbol))
                << symbol.toStdString() << " in " << file.fileName().toStdString();
        }
    }
    EXPECT_GT(found, 0) << "no symbol names found: the scan is looking in the wrong place";
}

}  // namespace
}  // namespace quorvelle::test
