import QtQuick
import QtQuick.Layouts
import Quorvelle

// A symbol and a title side by side, in one colour: the label of most dashboard buttons.
RowLayout {
    id: root

    property string symbolName
    property string title
    property real iconSize: 13
    property int titleSize: 14
    property int titleWeight: Font.Medium
    property color color

    spacing: 8

    Icon {
        Layout.alignment: Qt.AlignVCenter
        visible: root.symbolName.length > 0
        name: root.symbolName
        size: root.iconSize
        color: root.color
    }

    UiText {
        Layout.alignment: Qt.AlignVCenter
        text: root.title
        font.pixelSize: root.titleSize
        font.weight: root.titleWeight
        color: root.color
    }
}
