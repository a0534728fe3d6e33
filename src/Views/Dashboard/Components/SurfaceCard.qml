import QtQuick
import QtQuick.Layouts
import Quorvelle

// The dashboard's generic card: its children stacked at the top-left, 24 inside a rounded,
// bordered fill, the card as wide as it is offered.
Rectangle {
    id: root

    default property alias content: column.data
    readonly property int padding: 24

    Layout.fillWidth: true
    implicitWidth: column.implicitWidth + 2 * padding
    implicitHeight: column.implicitHeight + 2 * padding
    radius: 16
    color: DesktopTheme.colors.cardFill
    border.color: DesktopTheme.colors.cardBorder
    border.width: 1

    ColumnLayout {
        id: column
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: root.padding
        spacing: 0
    }
}
