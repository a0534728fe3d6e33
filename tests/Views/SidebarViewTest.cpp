// The sidebar rows, expanded and collapsed. Routing a click to its section, and a disabled row
// refusing it, are walked by the main window's tests.
#include "ViewHarness.h"

#include "Models/AppStrings.h"
#include "Models/MainWindowSection.h"
#include "Views/Dashboard/Components/DashboardSections.h"

#include <gtest/gtest.h>

#include <QSet>

namespace quorvelle::test {
namespace {

// "history" is selected, "changelog" selected and disabled; each row has its collapsed twin beside it.
TEST(SidebarViews, EachSectionShowsItsOwnSymbolAndTitleAndOnlyTheSelectedRowIsFilled) {
    ViewHarness harness;
    harness.setTheme(Theme::Light);
    ASSERT_TRUE(harness.load(R"(
        Column {
            x: 12; y: 12; spacing: 2
            Repeater {
                model: DashboardSections.all
                Row {
                    required property string modelData
                    spacing: 16
                    SidebarButton {
                        width: 220; section: modelData; title: DashboardSections.title(modelData, "en")
                        isSelected: modelData === "history" || modelData === "changelog"
                        isDisabled: modelData === "changelog"
                    }
                    SidebarButton {
                        objectName: "collapsed-" + modelData; section: modelData; isCollapsed: true
                        title: DashboardSections.title(modelData, "tr")
                    }
                }
            }
        })",
                             {320, 460}));
    harness.shootInEveryTheme("sidebar");
    const auto row = [&](MainWindowSection section) {
        return harness.item("main-window-section-" + rawValue(section));
    };
    QSet<QString> symbols;
    for (MainWindowSection section : allMainWindowSections()) {
        SCOPED_TRACE(rawValue(section).toStdString());
        QQuickItem* button = row(section);
        QQuickItem* collapsed = harness.item("collapsed-" + rawValue(section));
        ASSERT_TRUE(button && collapsed);
        EXPECT_EQ(glyphsIn(button), QStringList{symbolName(section)});
        symbols << symbolName(section);
        // Collapsed: a symbol tile, the title kept for the tooltip.
        EXPECT_EQ(harness.evaluate(collapsed, "ToolTip.text").toString(), AppStrings("tr").sectionTitle(section));
    }
    EXPECT_EQ(symbols.size(), 10);

    EXPECT_COLOR_NEAR(harness.fillOf(row(MainWindowSection::history)),
                      over(harness.colors().sidebarSelection, harness.background()));
    EXPECT_COLOR_NEAR(harness.fillOf(row(MainWindowSection::dictionary)), harness.background());
    // Selected and disabled: the whole row, fill included, at 0.45.
    EXPECT_DOUBLE_EQ(row(MainWindowSection::changelog)->opacity(), 0.45);
}

}  // namespace
}  // namespace quorvelle::test
