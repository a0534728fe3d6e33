import QtQuick
import QtQuick.Controls

// A pop-up list of choices that Return and Enter open as Space does. The box acts on the key's
// release, so the opening key must be taken whole here: were its release left to the box, the
// release would pick the highlighted row and close the list it just opened. While the list shows,
// the box's own handling stays: Return picks the highlighted row, Escape closes it unchanged.
ComboBox {
    id: root

    function opensList(event) {
        return (event.key === Qt.Key_Return || event.key === Qt.Key_Enter) && !root.popup.visible
    }

    Keys.onPressed: event => {
        if (opensList(event))
            event.accepted = true
    }
    Keys.onReleased: event => {
        if (!opensList(event))
            return
        event.accepted = true
        // Opening it highlights the current row, where Up and Down start from.
        if (!event.isAutoRepeat)
            root.popup.open()
    }
}
