import QtQuick
import Quorvelle

// A capsule in colours the caller picks; the theme does not touch it.
Rectangle {
    id: root

    property string title
    property color accent
    property color background

    implicitWidth: Math.ceil(label.implicitWidth) + 24
    implicitHeight: Math.ceil(label.implicitHeight) + 8
    radius: height / 2
    color: background

    UiText {
        id: label
        anchors.centerIn: parent
        text: root.title
        font.weight: Font.Medium
        color: root.accent
    }
}
