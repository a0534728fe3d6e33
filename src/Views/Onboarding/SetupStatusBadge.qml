import QtQuick
import Quorvelle

// The coloured word of a setup card: green when the step is done, orange while it is not.
Rectangle {
    id: badge

    property string label
    property bool ready

    // The platform's green and orange.
    readonly property color tint: ready ? "#34c759" : "#ff9500"
    // The word in the same colour on a dark window; on a light one in a deep shade of it, which
    // reads at 4.5:1 on the tinted fill.
    readonly property color wordColor: MenuStyle.dark ? tint : ready ? "#1b7034" : "#8f4c00"

    implicitWidth: word.implicitWidth + 20
    implicitHeight: word.implicitHeight + 8
    radius: height / 2
    color: Qt.rgba(tint.r, tint.g, tint.b, ready ? 0.15 : 0.18)
    Accessible.role: Accessible.StaticText
    Accessible.name: label

    UiText {
        id: word
        anchors.centerIn: parent
        text: badge.label
        font.pixelSize: MenuType.caption.pixelSize
        font.weight: Font.Medium
        color: badge.wordColor
    }
}
