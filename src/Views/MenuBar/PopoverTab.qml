import QtQuick
import QtQuick.Controls
import Quorvelle

// One tab of the popover's Status / Settings choice, drawn as a segment. Return chooses it as
// Space does.
TabButton {
    id: tab

    font: MenuType.body
    palette.buttonText: MenuStyle.segmentText(checked)
    background: SegmentFill {
        selected: tab.checked
        down: tab.down
    }
    Accessible.name: text
    Accessible.selectable: true
    Accessible.selected: checked
    Keys.onReturnPressed: tab.TabBar.tabBar.setCurrentIndex(tab.TabBar.index)
    Keys.onEnterPressed: tab.TabBar.tabBar.setCurrentIndex(tab.TabBar.index)
}
