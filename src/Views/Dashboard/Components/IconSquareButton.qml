import QtQuick
import Quorvelle

// A 40 by 36 symbol-only button, placed beside the search fields.
DashboardButtonBase {
    id: root

    property string symbolName

    implicitWidth: 40
    implicitHeight: 36

    contentItem: Item {
        Icon {
            anchors.centerIn: parent
            name: root.symbolName
            size: 14
            color: DesktopTheme.colors.primaryText
        }
    }

    background: Rectangle {
        radius: 8
        color: DesktopTheme.colors.inputBackground
        border.color: DesktopTheme.colors.inputBorder
        border.width: 1
    }
}
