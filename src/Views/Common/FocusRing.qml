import QtQuick
import QtQuick.Window
import Quorvelle

// One per window: an outline around the control that the keyboard gave the focus to, laid over
// it so that it shows on every kind of control and never looks like a prominent button. It stays
// while the keyboard is in use, also when the window was deactivated and activated again.
Item {
    id: holder

    readonly property Item target: holder.Window.activeFocusItem
    // A control, or a read-only text the keyboard reaches (it shows no caret to say it has the focus).
    readonly property bool ringable: target !== null
                                     && (target.visualFocus !== undefined
                                         || (target.readOnly === true && target.activeFocusOnTab))
    readonly property bool shows: target !== null
                                  && (target.visualFocus === true
                                      || (modality.keyboard && ringable && target.activeFocus))

    InputModality {
        id: modality
        window: holder.Window.window
    }

    Rectangle {
        objectName: "focus-ring"
        parent: holder.shows ? holder.target : holder
        anchors.fill: parent
        anchors.margins: -3
        z: 1000
        visible: holder.shows
        color: "transparent"
        radius: 6
        border.width: 2
        border.color: MenuStyle.focusRing
    }
}
