import QtQuick
import QtQuick.Controls
import Quorvelle

// A switch of the popover: a check box that Return toggles as Space does. The owner handles
// `toggled` and binds `checked` back to what the view model says.
CheckBox {
    id: box

    font: MenuType.body
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
