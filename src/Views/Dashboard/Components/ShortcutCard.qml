pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Quorvelle

// A card showing one configured value (the shortcut's title) in a monospaced box, under a
// section heading with an optional status pill, beside a filled and an optional outlined button.
// `trailingStatus`, `secondaryButtonTitle` and `secondaryAction` are optional: null leaves the
// item out, and the outlined button needs both its title and its action.
SurfaceCard {
    id: root

    property string symbolName
    property string title
    property string subtitle
    property string value
    property var trailingStatus: null
    property string primaryButtonTitle
    property var secondaryButtonTitle: null
    property var primaryAction: null
    property var secondaryAction: null

    // The one placeholder the shortcuts page passes, compared exactly.
    readonly property bool isPlaceholder: value === "Not configured"

    function isPresent(item) {
        return item !== null && item !== undefined
    }

    ColumnLayout {
        Layout.fillWidth: true
        spacing: 16

        RowLayout {
            Layout.fillWidth: true

            SectionHeading {
                symbolName: root.symbolName
                title: root.title
                subtitle: root.subtitle
            }

            StatusPill {
                objectName: "shortcut-status"
                visible: root.isPresent(root.trailingStatus)
                title: visible ? root.trailingStatus : ""
                accent: DesktopTheme.colors.successText
                background: DesktopTheme.colors.successBackground
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 12

            Rectangle {
                objectName: "shortcut-value"
                Layout.fillWidth: true
                Layout.preferredHeight: 38
                radius: 10
                color: DesktopTheme.colors.inputBackground
                border.width: 1
                border.color: DesktopTheme.colors.inputBorder

                UiText {
                    objectName: "shortcut-value-text"
                    anchors.centerIn: parent
                    width: Math.min(implicitWidth, parent.width - 16)
                    text: root.value
                    elide: Text.ElideRight
                    font.family: Fonts.mono
                    font.pixelSize: 14
                    font.weight: Font.Medium
                    font.italic: root.isPlaceholder
                    color: root.isPlaceholder ? DesktopTheme.colors.secondaryText : DesktopTheme.colors.primaryText
                }
            }

            DashboardButtonBase {
                objectName: "shortcut-primary"
                title: root.primaryButtonTitle
                callback: root.primaryAction
                leftPadding: 18
                rightPadding: 18
                topPadding: 10
                bottomPadding: 10

                contentItem: UiText {
                    text: root.primaryButtonTitle
                    font.pixelSize: 14
                    font.weight: Font.DemiBold
                    color: DesktopTheme.colors.darkButtonText
                }

                background: Rectangle {
                    radius: 8
                    color: DesktopTheme.colors.primaryButtonFill
                }
            }

            DashboardButtonBase {
                objectName: "shortcut-secondary"
                visible: root.isPresent(root.secondaryButtonTitle) && root.isPresent(root.secondaryAction)
                title: visible ? root.secondaryButtonTitle : ""
                callback: root.secondaryAction
                leftPadding: 18
                rightPadding: 18
                topPadding: 10
                bottomPadding: 10

                contentItem: UiText {
                    text: root.secondaryButtonTitle || ""
                    font.pixelSize: 14
                    font.weight: Font.Medium
                    color: DesktopTheme.colors.primaryText
                }

                background: Rectangle {
                    radius: 8
                    color: DesktopTheme.colors.inputBackground
                    border.width: 1
                    border.color: DesktopTheme.colors.inputBorder
                }
            }
        }
    }
}
