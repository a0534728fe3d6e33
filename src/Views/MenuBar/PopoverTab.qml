import QtQuick
import QtQuick.Controls
import Quorvelle

// One tab of the popover's Status / Settings choice, drawn as a segment; the owner sets which one
// starts checked, and `chosen` tells it of each tab checked after that. Return checks it as Space does.
TabButton {
    id: tab

    signal chosen

    font: MenuType.body
    palette.buttonText: MenuStyle.segmentText(checked)
    background: SegmentFill {
        selected: tab.checked
        down: tab.down
    }
    Accessible.name: text
    Accessible.selectable: true
    Accessible.selected: checked
    onCheckedChanged: {
        if (checked)
            tab.chosen()
    }
    Keys.onReturnPressed: tab.checked = true
    Keys.onEnterPressed: tab.checked = true
}
