import QtQuick
import QtQuick.Controls
import Quorvelle

// One tab of the popover's Status / Settings choice, drawn as a segment; the owner sets which one
// starts checked, and `chosen` tells it of each tab checked after that. Return checks it as Space does;
// Left and Right check the tab before or after it in its row (round the row) and move the focus there.
TabButton {
    id: tab

    signal chosen

    function step(by) {
        const tabs = []
        for (let i = 0; i < parent.children.length; ++i) {
            const sibling = parent.children[i]
            if (sibling.autoExclusive && sibling.visible && sibling.enabled)
                tabs.push(sibling)
        }
        const next = tabs[(tabs.indexOf(tab) + by + tabs.length) % tabs.length]
        next.checked = true
        next.forceActiveFocus(Qt.TabFocusReason)
    }

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
    Keys.onLeftPressed: tab.step(-1)
    Keys.onRightPressed: tab.step(1)
}
