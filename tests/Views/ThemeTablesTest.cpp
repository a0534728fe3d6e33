// The desktop theme colour sets and miniature palettes, as QML reads them.
#include "Views/Dashboard/Components/DesktopTheme.h"
#include "Views/Dashboard/Components/DesktopThemeColors.h"
#include "Views/Dashboard/Components/DesktopThemePalette.h"

#include <gtest/gtest.h>

#include <QMetaProperty>

namespace quorvelle {
namespace {

template <typename Gadget>
std::vector<std::pair<QString, QColor>> fieldsOf(const Gadget& value) {
    std::vector<std::pair<QString, QColor>> fields;
    const QMetaObject& meta = Gadget::staticMetaObject;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        fields.emplace_back(QString::fromLatin1(property.name()),
                            property.readOnGadget(&value).template value<QColor>());
    }
    return fields;
}

// QML reads the fields by name: each theme sets every one of them.
TEST(DesktopThemeColorsTable, EveryThemeSetsAllTwentyEightFields) {
    for (const DesktopThemeColors& theme :
         {DesktopThemeColors::quorvelle(), DesktopThemeColors::black(), DesktopThemeColors::light()}) {
        const auto fields = fieldsOf(theme);
        EXPECT_EQ(fields.size(), 28u);
        for (const auto& [name, colour] : fields)
            EXPECT_TRUE(colour.isValid()) << name.toStdString();
    }
}

TEST(DesktopThemeColorsTable, OptionsAndNamesPickTheirThemeAndTheDefaultIsBlack) {
    const DesktopTheme theme;
    const struct {
        DesktopThemeOption option;
        const char* name;
        DesktopThemeColors expected;
    } cases[] = {{DesktopThemeOption::quorvelle, "quorvelle", DesktopThemeColors::quorvelle()},
                 {DesktopThemeOption::black, "black", DesktopThemeColors::black()},
                 {DesktopThemeOption::light, "light", DesktopThemeColors::light()}};
    for (const auto& c : cases) {
        EXPECT_EQ(fieldsOf(DesktopThemeColors::forOption(c.option)), fieldsOf(c.expected)) << c.name;
        EXPECT_EQ(fieldsOf(theme.colorsFor(QString::fromLatin1(c.name))), fieldsOf(c.expected)) << c.name;
    }
    const auto black = fieldsOf(DesktopThemeColors::black());
    EXPECT_EQ(fieldsOf(DesktopThemeColors::environmentDefault()), black);
    EXPECT_EQ(fieldsOf(theme.colors()), black);
    EXPECT_EQ(fieldsOf(theme.colorsFor(QStringLiteral("Light"))), black);
    EXPECT_EQ(fieldsOf(theme.colorsFor(QString())), black);
}

TEST(DesktopThemePaletteTable, ThreeSeparateConstantsReadTheSameEveryTime) {
    const DesktopTheme theme;
    EXPECT_EQ(&DesktopThemePalette::light(), &DesktopThemePalette::light());
    EXPECT_EQ(fieldsOf(theme.quorvellePalette()), fieldsOf(DesktopThemePalette::quorvelle()));
    EXPECT_EQ(fieldsOf(theme.blackPalette()), fieldsOf(DesktopThemePalette::black()));
    EXPECT_EQ(fieldsOf(theme.lightPalette()), fieldsOf(DesktopThemePalette::light()));
    // Not derived from the colour sets: the light miniature is a neutral grey, not the bluish canvas.
    EXPECT_NE(DesktopThemePalette::light().background, DesktopThemeColors::light().canvas);
}

}  // namespace
}  // namespace quorvelle
