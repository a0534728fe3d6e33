import QtQuick
import Quorvelle

// The view model's last outcome in a soft rounded block; absent without a message.
Rectangle {
    id: block

    property string message

    visible: message.length > 0
    implicitWidth: label.implicitWidth + 20
    implicitHeight: visible ? label.implicitHeight + 20 : 0
    radius: 10
    color: MenuStyle.quaternaryFill(0.5)

    UiText {
        id: label
        objectName: "inline-message"
        x: 10
        y: 10
        width: block.width - 20
        text: block.message
        wrapMode: Text.Wrap
        font: MenuType.caption
        color: MenuStyle.secondary
    }
}
