// The sidebar rows, expanded and collapsed, in each theme.
#include "ViewHarness.h"

#include "Models/AppStrings.h"
#include "Models/MainWindowSection.h"
#include "Views/Dashboard/Components/DashboardSections.h"

#include <gtest/gtest.h>

namespace quorvelle::test {
namespace {

// "history" is selected, "settings" disabled, "changelog" both; the collapsed column repeats
// the rows with an "c-" prefix on the recorder's names.
const char* kSidebarScene = R"(
    Item {
        Row {
            x: 12; y: 12; spacing: 16
            Column {
                objectName: "expanded"; width: 220; spacing: 2
                Repeater {
                    model: DashboardSections.all
                    SidebarButton {
                        width: 220
                        section: modelData
                        title: DashboardSections.title(modelData, "en")
                        isSelected: modelData === "history" || modelData === "changelog"
                        isDisabled: modelData === "settings" || modelData === "changelog"
                        callback: () => recorder.record(modelData)
                    }
                }
            }
            Column {
                objectName: "collapsed"; spacing: 2
                Repeater {
                    model: DashboardSections.all
                    SidebarButton {
                        objectName: "collapsed-" + modelData
                        section: modelData
                        title: DashboardSections.title(modelData, "tr")
                        isSelected: modelData === "history"
                        isCollapsed: true
                        callback: () => recorder.record("c-" + modelData)
                    }
                }
            }
        }
    })";

class SidebarViews : public ThemedSceneTest {
protected:
    void SetUp() override { ASSERT_TRUE(loadScene(kSidebarScene, {320, 460}, "sidebar")); }

    QQuickItem* row(MainWindowSection section) {
        return item(QStringLiteral("main-window-section-") + rawValue(section));
    }
};

TEST_P(SidebarViews, EachSectionHasItsSymbolAndTitleExpandedAndCollapsed) {
    const AppStrings english(QStringLiteral("en"));
    const AppStrings turkish(QStringLiteral("tr"));
    for (MainWindowSection section : allMainWindowSections()) {
        SCOPED_TRACE(rawValue(section).toStdString());
        auto* button = row(section);
        auto* collapsed = harness.find(QStringLiteral("collapsed-") + rawValue(section));
        ASSERT_TRUE(button && collapsed);
        EXPECT_EQ(glyphsIn(button), QStringList{symbolName(section)});
        EXPECT_EQ(textsIn(button), QStringList{english.sectionTitle(section)});
        // Collapsed: a symbol tile, the title kept for the tooltip.
        EXPECT_TRUE(textsIn(collapsed).isEmpty());
        EXPECT_EQ(harness.evaluate(collapsed, "ToolTip.text").toString(), turkish.sectionTitle(section));
    }
}

TEST_P(SidebarViews, OnlyTheSelectedRowIsFilled) {
    const DesktopThemeColors c = colors();
    auto* selected = row(MainWindowSection::history);
    auto* plain = row(MainWindowSection::dictionary);
    ASSERT_TRUE(selected && plain);
    const QPointF inside(selected->width() - 6, selected->height() / 2);
    EXPECT_COLOR_NEAR(harness.colorAt(selected, inside), over(c.sidebarSelection, harness.background()));
    EXPECT_COLOR_NEAR(harness.colorAt(plain, inside), harness.background());
}

TEST_P(SidebarViews, ClicksCallTheActionUnlessDisabled) {
    harness.click(row(MainWindowSection::overview));
    harness.click(row(MainWindowSection::settings));
    harness.click(row(MainWindowSection::changelog));
    harness.click(harness.find("collapsed-appearance"));
    EXPECT_EQ(harness.recorder().count("overview"), 1);
    EXPECT_EQ(harness.recorder().count("settings"), 0);
    EXPECT_EQ(harness.recorder().count("changelog"), 0);
    EXPECT_EQ(harness.recorder().count("c-appearance"), 1);

    // Selected and disabled: the fill is still drawn, the whole row at 0.45.
    auto* both = row(MainWindowSection::changelog);
    EXPECT_DOUBLE_EQ(both->opacity(), 0.45);
    QColor fill = colors().sidebarSelection;
    fill.setAlphaF(fill.alphaF() * 0.45f);
    EXPECT_COLOR_NEAR(harness.colorAt(both, {both->width() - 6, both->height() / 2}), over(fill, harness.background()));
}

INSTANTIATE_TEST_SUITE_P(Light, SidebarViews, ::testing::Values(Theme::Light), ThemeName());

}  // namespace
}  // namespace quorvelle::test
