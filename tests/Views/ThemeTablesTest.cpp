// The desktop theme colour sets, as QML reads them.
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

// QML reads the fields by name: each theme sets every one of them, and is picked by its option or
// its stored name; anything else is black.
TEST(DesktopThemeColorsTable, EveryThemeSetsAllFieldsAndIsPickedByOptionAndNameWithBlackTheDefault) {
    const DesktopTheme theme;
    const struct {
        DesktopThemeOption option;
        const char* name;
        DesktopThemeColors expected;
    } cases[] = {{DesktopThemeOption::quorvelle, "quorvelle", DesktopThemeColors::quorvelle()},
                 {DesktopThemeOption::black, "black", DesktopThemeColors::black()},
                 {DesktopThemeOption::light, "light", DesktopThemeColors::light()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto fields = fieldsOf(c.expected);
        EXPECT_EQ(fields.size(), 28u);
        for (const auto& [name, colour] : fields)
            EXPECT_TRUE(colour.isValid()) << name.toStdString();
        EXPECT_EQ(fieldsOf(DesktopThemeColors::forOption(c.option)), fields);
        EXPECT_EQ(fieldsOf(theme.colorsFor(c.name)), fields);
    }
    const auto black = fieldsOf(DesktopThemeColors::black());
    EXPECT_EQ(fieldsOf(DesktopThemeColors::environmentDefault()), black);
    EXPECT_EQ(fieldsOf(theme.colors()), black);
    EXPECT_EQ(fieldsOf(theme.colorsFor("Light")), black);
    EXPECT_EQ(fieldsOf(theme.colorsFor(QString())), black);
}

}  // namespace
}  // namespace quorvelle
