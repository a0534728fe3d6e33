// The sidebar rows, expanded and collapsed.
#include "ViewHarness.h"

#include "Models/AppStrings.h"
#include "Models/MainWindowSection.h"
#include "Views/Dashboard/Components/DashboardSections.h"

#include <gtest/gtest.h>

#include <QSet>

namespace quorvelle::test {
namespace {

// "history" is selected, "settings" disabled, "changelog" both; each row has its collapsed twin
// beside it, with a "c-" prefix on the recorder's names.
const char* kSidebarScene = R"(
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
                    isDisabled: modelData === "settings" || modelData === "changelog"
                    callback: () => recorder.record(modelData)
                }
                SidebarButton {
                    objectName: "collapsed-" + modelData; section: modelData; title: DashboardSections.title(modelData, "tr")
                    isSelected: modelData === "history"; isCollapsed: true
                    callback: () => recorder.record("c-" + modelData)
                }
            }
        }
    })";

// Each section has its own title and its own symbol, one the font draws; only the selected row is
// filled, and a click calls the action unless the row is disabled.
TEST(SidebarViews, EachSectionShowsItsSymbolAndTitleAndOnlyEnabledRowsCallTheirAction) {
    ViewHarness harness;
    harness.setTheme(Theme::Light);
    ASSERT_TRUE(harness.load(kSidebarScene, {320, 460}));
    harness.shootInEveryTheme("sidebar");
    const auto row = [&](MainWindowSection section) {
        return harness.item("main-window-section-" + rawValue(section));
    };
    const AppStrings english(QStringLiteral("en"));
    const AppStrings turkish(QStringLiteral("tr"));
    QSet<QString> symbols;
    for (MainWindowSection section : allMainWindowSections()) {
        SCOPED_TRACE(rawValue(section).toStdString());
        QQuickItem* button = row(section);
        QQuickItem* collapsed = harness.item("collapsed-" + rawValue(section));
        ASSERT_TRUE(button && collapsed);
        EXPECT_EQ(glyphsIn(button), QStringList{symbolName(section)});
        symbols << symbolName(section);
        EXPECT_EQ(textsIn(button), QStringList{english.sectionTitle(section)});
        // Collapsed: a symbol tile, the title kept for the tooltip.
        EXPECT_TRUE(textsIn(collapsed).isEmpty());
        EXPECT_EQ(harness.evaluate(collapsed, "ToolTip.text").toString(), turkish.sectionTitle(section));
    }
    EXPECT_EQ(symbols.size(), 10);

    const QColor selection = harness.colors().sidebarSelection;
    EXPECT_COLOR_NEAR(harness.fillOf(row(MainWindowSection::history)), over(selection, harness.background()));
    EXPECT_COLOR_NEAR(harness.fillOf(row(MainWindowSection::dictionary)), harness.background());

    harness.click(row(MainWindowSection::overview));
    harness.click(row(MainWindowSection::settings));
    harness.click(row(MainWindowSection::changelog));
    harness.click(harness.find("collapsed-appearance"));
    EXPECT_EQ(harness.recorder().count("overview"), 1);
    EXPECT_EQ(harness.recorder().count("settings"), 0);
    EXPECT_EQ(harness.recorder().count("changelog"), 0);
    EXPECT_EQ(harness.recorder().count("c-appearance"), 1);

    // Selected and disabled: the fill is still drawn, the whole row at 0.45.
    QQuickItem* both = row(MainWindowSection::changelog);
    EXPECT_DOUBLE_EQ(both->opacity(), 0.45);
    QColor fill = selection;
    fill.setAlphaF(fill.alphaF() * 0.45f);
    EXPECT_COLOR_NEAR(harness.fillOf(both), over(fill, harness.background()));
}

}  // namespace
}  // namespace quorvelle::test
