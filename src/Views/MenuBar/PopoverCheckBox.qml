import QtQuick
import QtQuick.Controls
import Quorvelle

// A switch of the popover: a check box that Return toggles as Space does. The owner handles
// `toggled` and binds `checked` back to what the view model says. Its box is outlined in the
// theme's control outline, which shows on every theme's window (the style's own outline is a
// darker shade of the window, lost on a black one).
CheckBox {
    id: box

    font: MenuType.body
    indicator: Rectangle {
        x: box.leftPadding
        y: box.topPadding + (box.availableHeight - height) / 2
        implicitWidth: 14
        implicitHeight: 14
        radius: 3
        color: box.down ? MenuStyle.quaternaryFill(2) : MenuStyle.theme.inputBackground
        border.width: 1
        border.color: MenuStyle.controlOutline

        Icon {
            anchors.centerIn: parent
            visible: box.checked
            name: "checkmark"
            size: 12
            color: MenuStyle.text
        }
    }
    Accessible.name: text
    Keys.onReturnPressed: {
        box.toggle()
        box.toggled()
    }
    Keys.onEnterPressed: {
        box.toggle()
        box.toggled()
    }
}
