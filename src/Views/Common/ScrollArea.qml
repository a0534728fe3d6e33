import QtQuick
import QtQuick.Controls
import QtQuick.Window

// A vertically scrolling area: the wheel and the scroll bar move it, it never overshoots, and the
// control inside it that has the keyboard focus is kept in view: when it takes the focus, and when
// the content above or around it changes height (a message appearing, a row growing a reason). A
// control inside an item that sets `revealsWhole` brings that whole item into view with it.
Flickable {
    id: root

    // Room kept between a revealed control and the area's edge.
    property real revealMargin: 8
    // What the scroll bar moves, as a screen reader names it.
    property string scrollBarName

    contentWidth: width
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: ScrollBar {
        policy: root.contentHeight > root.height ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
        Accessible.name: root.scrollBarName
    }

    // Whether `item` lies inside this area's content.
    function holds(item) {
        let ancestor = item
        while (ancestor && ancestor !== root.contentItem)
            ancestor = ancestor.parent
        return ancestor !== null && ancestor !== undefined
    }

    // Scrolls just enough to show `item`, when it lies inside this area.
    function reveal(item) {
        if (!holds(item))
            return
        const box = item.mapToItem(root.contentItem, 0, 0, item.width, item.height)
        let y = root.contentY
        if (box.y + box.height + revealMargin > y + root.height)
            y = box.y + box.height + revealMargin - root.height
        if (box.y - revealMargin < y)
            y = box.y - revealMargin
        y = Math.max(0, Math.min(y, root.contentHeight - root.height))
        // Set even unchanged, the position would stop a wheel's scroll under way.
        if (y !== root.contentY)
            root.contentY = y
    }

    // Shows the focused control with the item it belongs to; the control itself wins when both
    // do not fit.
    function revealFocus() {
        const focused = root.Window.window ? root.Window.window.activeFocusItem : null
        if (!holds(focused))
            return
        for (let unit = focused.parent; unit && unit !== root.contentItem; unit = unit.parent) {
            if (unit.revealsWhole === true) {
                reveal(unit)
                break
            }
        }
        reveal(focused)
    }

    // After the layouts have placed what changed.
    onContentHeightChanged: Qt.callLater(root.revealFocus)

    Connections {
        target: root.Window.window

        function onActiveFocusItemChanged() {
            root.revealFocus()
        }
    }
}
