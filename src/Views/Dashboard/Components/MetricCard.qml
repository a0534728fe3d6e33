import QtQuick
import QtQuick.Layouts
import Quorvelle

// An overview tile: a small title with its symbol, then the figure and a line about it. At
// least 112 high inside its padding, content pinned to the top.
SurfaceCard {
    id: root

    property string title
    property string value
    property string subtitle
    property string symbolName

    Item {
        Layout.fillWidth: true
        implicitWidth: stack.implicitWidth
        implicitHeight: Math.max(112, stack.implicitHeight)

        ColumnLayout {
            id: stack
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.top: parent.top
            spacing: 22

            // A long title wraps beside its symbol rather than push the symbol off the card.
            RowLayout {
                Layout.fillWidth: true

                UiText {
                    Layout.fillWidth: true
                    text: root.title
                    wrapMode: Text.Wrap
                    font.pixelSize: 11
                    font.weight: Font.Medium
                    font.letterSpacing: 2
                    color: DesktopTheme.colors.secondaryText
                }

                Icon {
                    Layout.alignment: Qt.AlignTop
                    name: root.symbolName
                    size: 14
                    color: DesktopTheme.colors.primaryText
                }
            }

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 6

                UiText {
                    text: root.value
                    font.pixelSize: 28
                    font.weight: Font.DemiBold
                    color: DesktopTheme.colors.primaryText
                }

                UiText {
                    Layout.fillWidth: true
                    text: root.subtitle
                    wrapMode: Text.Wrap
                    color: DesktopTheme.colors.secondaryText
                }
            }
        }
    }
}
