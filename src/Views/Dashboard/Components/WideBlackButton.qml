import QtQuick
import QtQuick.Layouts
import Quorvelle

// A full-width call to action in the page's inverted colours, title before symbol, centred.
DashboardButtonBase {
    id: root

    property string symbolName

    Layout.fillWidth: true
    topPadding: 10
    bottomPadding: 10

    // Space, title, symbol, space: the pair sits in the middle of whatever width is offered.
    contentItem: RowLayout {
        spacing: 8

        Item {
            Layout.fillWidth: true
        }

        UiText {
            text: root.title
            font.pixelSize: 14
            font.weight: Font.Medium
            color: DesktopTheme.colors.darkButtonText
        }

        Icon {
            visible: root.symbolName.length > 0
            name: root.symbolName
            size: 14
            color: DesktopTheme.colors.darkButtonText
        }

        Item {
            Layout.fillWidth: true
        }
    }

    background: Rectangle {
        radius: 8
        color: DesktopTheme.colors.primaryText
    }
}
