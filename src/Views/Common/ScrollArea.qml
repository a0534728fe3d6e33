import QtQuick
import QtQuick.Controls
import QtQuick.Window

// A vertically scrolling area: the wheel and the scroll bar move it, it never overshoots, and a
// control inside it that takes the keyboard focus is scrolled into view.
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

    // Scrolls just enough to show `item`, when it lies inside this area.
    function reveal(item) {
        let ancestor = item
        while (ancestor && ancestor !== root.contentItem)
            ancestor = ancestor.parent
        if (!ancestor)
            return
        const box = item.mapToItem(root.contentItem, 0, 0, item.width, item.height)
        let y = root.contentY
        if (box.y + box.height + revealMargin > y + root.height)
            y = box.y + box.height + revealMargin - root.height
        if (box.y - revealMargin < y)
            y = box.y - revealMargin
        root.contentY = Math.max(0, Math.min(y, root.contentHeight - root.height))
    }

    Connections {
        target: root.Window.window

        function onActiveFocusItemChanged() {
            const item = root.Window.window.activeFocusItem
            if (item)
                root.reveal(item)
        }
    }
}
