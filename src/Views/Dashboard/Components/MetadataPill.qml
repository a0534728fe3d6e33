import QtQuick
import Quorvelle

// A themed tag for a fact of a row or card, with an optional leading symbol.
Rectangle {
    id: root

    property string title
    property string symbolName

    implicitWidth: Math.ceil(row.implicitWidth) + 20
    implicitHeight: Math.ceil(row.implicitHeight) + 8
    radius: height / 2
    color: DesktopTheme.colors.pillFill
    border.color: DesktopTheme.colors.pillBorder
    border.width: 1

    Row {
        id: row
        anchors.centerIn: parent
        spacing: 6

        Icon {
            anchors.verticalCenter: parent.verticalCenter
            visible: root.symbolName.length > 0
            name: root.symbolName
            size: 10
            color: DesktopTheme.colors.secondaryText
        }

        UiText {
            anchors.verticalCenter: parent.verticalCenter
            text: root.title
            font.pixelSize: 11
            font.weight: Font.Medium
            font.letterSpacing: 1.4
            color: DesktopTheme.colors.secondaryText
        }
    }
}
