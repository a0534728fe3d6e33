import QtQuick
import Quorvelle

// A capsule naming one feature that waits for the sign-in.
Rectangle {
    id: root

    property string title

    implicitWidth: row.implicitWidth + 20
    implicitHeight: row.implicitHeight + 14
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
            name: "lock.fill"
            size: 10
            font.weight: Font.DemiBold
            color: DesktopTheme.colors.secondaryText
        }

        UiText {
            anchors.verticalCenter: parent.verticalCenter
            text: root.title
            font.pixelSize: 12
            font.weight: Font.Medium
            color: DesktopTheme.colors.secondaryText
        }
    }
}
