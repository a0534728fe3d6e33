import QtQuick
import QtQuick.Layouts
import Quorvelle

// A full-width choice with a title, a wrapping subtitle and a selection ring. A click anywhere
// calls `callback`; the page owns the selection.
DashboardChoiceButton {
    id: root

    property string subtitle

    Layout.fillWidth: true
    padding: 16
    implicitHeight: Math.max(108, implicitContentHeight + topPadding + bottomPadding)

    // Top-aligned: a taller surface leaves its extra height below the subtitle.
    contentItem: Item {
        implicitWidth: column.implicitWidth
        implicitHeight: column.implicitHeight

        ColumnLayout {
            id: column
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.top: parent.top
            spacing: 12

            RowLayout {
                Layout.fillWidth: true

                UiText {
                    objectName: "option-title"
                    Layout.fillWidth: true
                    text: root.title
                    wrapMode: Text.Wrap
                    font.pixelSize: 15
                    font.weight: Font.DemiBold
                    color: DesktopTheme.colors.primaryText
                }

                Item {
                    objectName: "selection-ring"
                    implicitWidth: 18
                    implicitHeight: 18

                    Rectangle {
                        anchors.fill: parent
                        radius: width / 2
                        color: "transparent"
                        border.width: 1
                        border.color: root.isSelected
                                      ? DesktopTheme.colors.primaryText
                                      : DesktopTheme.colors.controlBorder
                    }

                    Rectangle {
                        objectName: "selection-dot"
                        anchors.centerIn: parent
                        width: 8
                        height: 8
                        radius: 4
                        color: DesktopTheme.colors.primaryText
                        opacity: root.isSelected ? 1 : 0
                    }
                }
            }

            UiText {
                objectName: "option-subtitle"
                Layout.fillWidth: true
                text: root.subtitle
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignLeft
                color: DesktopTheme.colors.secondaryText
            }
        }
    }

    background: Rectangle {
        objectName: "option-surface"
        radius: 14
        color: root.isSelected ? DesktopTheme.colors.selectedCardFill : DesktopTheme.colors.inputBackground
        border.color: root.isSelected ? DesktopTheme.colors.selectedCardBorder : DesktopTheme.colors.inputBorder
        border.width: 1
    }
}
