import QtQuick
import QtQuick.Layouts
import Quorvelle

// The status line above a page. A long message wraps and the banner grows.
Rectangle {
    id: root

    property string message

    Layout.fillWidth: true
    implicitWidth: row.implicitWidth + 28
    implicitHeight: row.implicitHeight + 24
    radius: 12
    color: DesktopTheme.colors.headerIconBackground
    border.color: DesktopTheme.colors.cardBorder
    border.width: 1

    RowLayout {
        id: row
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        anchors.leftMargin: 14
        anchors.rightMargin: 14
        spacing: 10

        Icon {
            name: "sparkles"
            size: 13
            color: DesktopTheme.colors.primaryText
        }

        UiText {
            Layout.fillWidth: true
            text: root.message
            wrapMode: Text.Wrap
            color: DesktopTheme.colors.primaryText
        }
    }
}
