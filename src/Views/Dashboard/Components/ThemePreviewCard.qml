pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Layouts
import Quorvelle

// A miniature of the dashboard window in one theme's palette, whatever theme is active.
Rectangle {
    id: root

    property desktopThemePalette palette

    Layout.fillWidth: true
    implicitWidth: 180
    implicitHeight: 124
    radius: 12
    color: palette.background

    ColumnLayout {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        spacing: 10

        Row {
            Layout.leftMargin: 10
            Layout.rightMargin: 10
            Layout.topMargin: 8
            spacing: 6

            Repeater {
                model: 3

                Rectangle {
                    width: 6
                    height: 6
                    radius: 3
                    color: root.palette.dot
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.leftMargin: 10
            Layout.rightMargin: 10
            implicitHeight: 54
            radius: 8
            color: root.palette.panel

            Column {
                anchors.centerIn: parent
                spacing: 8

                Rectangle {
                    width: 42
                    height: 4
                    radius: 3
                    color: root.palette.linePrimary
                }

                Rectangle {
                    width: 58
                    height: 4
                    radius: 3
                    color: root.palette.lineSecondary
                }

                Row {
                    spacing: 8

                    Rectangle {
                        width: 42
                        height: 14
                        radius: 5
                        color: root.palette.buttonPrimary
                    }

                    Rectangle {
                        width: 24
                        height: 14
                        radius: 5
                        color: root.palette.buttonSecondary
                    }
                }
            }
        }

        Rectangle {
            Layout.leftMargin: 30
            implicitWidth: 78
            implicitHeight: 22
            radius: 11
            color: root.palette.pill

            Row {
                anchors.centerIn: parent
                spacing: 6

                Rectangle {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 10
                    height: 10
                    radius: 5
                    color: root.palette.dot
                }

                UiText {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "Quorvelle"
                    font.pixelSize: 8
                    font.weight: Font.DemiBold
                    color: root.palette.pillText
                }
            }
        }
    }
}
