import QtQuick
import QtQuick.Layouts
import Quorvelle

// A small label/value tile in the input colours, with a dot in a square at its start.
Rectangle {
    id: root

    property string eyebrow
    property string value
    readonly property int padding: 14

    Layout.fillWidth: true
    implicitWidth: row.implicitWidth + 2 * padding
    implicitHeight: row.implicitHeight + 2 * padding
    radius: 12
    color: DesktopTheme.colors.inputBackground
    border.color: DesktopTheme.colors.inputBorder
    border.width: 1

    RowLayout {
        id: row
        anchors.fill: parent
        anchors.margins: root.padding
        spacing: 12

        Rectangle {
            implicitWidth: 34
            implicitHeight: 34
            radius: 8
            color: DesktopTheme.colors.headerIconBackground

            Rectangle {
                anchors.centerIn: parent
                width: 8
                height: 8
                radius: 4
                color: DesktopTheme.colors.secondaryText
            }
        }

        ColumnLayout {
            spacing: 4

            UiText {
                text: root.eyebrow
                font.pixelSize: 11
                font.weight: Font.Medium
                font.letterSpacing: 1.6
                color: DesktopTheme.colors.secondaryText
            }

            UiText {
                text: root.value
                font.pixelSize: 14
                font.weight: Font.Medium
                color: DesktopTheme.colors.primaryText
            }
        }

        Item {
            Layout.fillWidth: true
        }
    }
}
