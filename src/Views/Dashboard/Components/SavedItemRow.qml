import QtQuick
import QtQuick.Layouts
import Quorvelle

// The frame shared by the saved dictionary and snippet rows: the row's details at the leading
// edge, Edit and Delete at the trailing edge, on a rounded input-coloured surface.
Rectangle {
    id: root

    property string languageCode: "en"
    property var itemId
    property string subject
    property var editAction: null
    property var deleteAction: null
    default property alias details: detailsHolder.data

    Layout.fillWidth: true
    implicitWidth: row.implicitWidth + 32
    implicitHeight: row.implicitHeight + 36
    radius: 14
    color: DesktopTheme.colors.inputBackground
    border.color: DesktopTheme.colors.inputBorder
    border.width: 1

    RowLayout {
        id: row
        anchors.fill: parent
        anchors.leftMargin: 16
        anchors.rightMargin: 16
        anchors.topMargin: 18
        anchors.bottomMargin: 18
        spacing: 16

        ColumnLayout {
            id: detailsHolder
            Layout.fillWidth: true
            Layout.alignment: Qt.AlignVCenter
        }

        EditDeleteButtons {
            Layout.alignment: Qt.AlignVCenter
            languageCode: root.languageCode
            itemId: root.itemId
            subject: root.subject
            editAction: root.editAction
            deleteAction: root.deleteAction
        }
    }
}
