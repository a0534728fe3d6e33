// The desktop theme colour sets, as QML reads them. Picking a set by its option is walked by the main
// window's theme test.
#include "Views/Dashboard/Components/DesktopTheme.h"
#include "Views/Dashboard/Components/DesktopThemeColors.h"

#include <gtest/gtest.h>

#include <QMetaProperty>

namespace quorvelle {
namespace {

std::vector<std::pair<QString, QColor>> fieldsOf(const DesktopThemeColors& value) {
    std::vector<std::pair<QString, QColor>> fields;
    const QMetaObject& meta = DesktopThemeColors::staticMetaObject;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
        fields.emplace_back(meta.property(i).name(), meta.property(i).readOnGadget(&value).value<QColor>());
    return fields;
}

// QML reads the fields by name: each theme sets every one of them; a stored name that is no theme's
// (or another case of one) reads as black.
TEST(DesktopThemeColorsTable, EveryThemeSetsAllFieldsAndAnUnknownNameIsBlack) {
    for (const DesktopThemeColors& theme :
         {DesktopThemeColors::quorvelle(), DesktopThemeColors::black(), DesktopThemeColors::light()}) {
        const auto fields = fieldsOf(theme);
        EXPECT_EQ(fields.size(), 28u);
        for (const auto& [name, colour] : fields)
            EXPECT_TRUE(colour.isValid()) << name.toStdString();
    }
    const DesktopTheme theme;
    const auto black = fieldsOf(DesktopThemeColors::black());
    EXPECT_EQ(fieldsOf(theme.colors()), black);
    EXPECT_EQ(fieldsOf(theme.colorsFor("Light")), black);
    EXPECT_EQ(fieldsOf(theme.colorsFor("light")), fieldsOf(DesktopThemeColors::light()));
}

}  // namespace
}  // namespace quorvelle
