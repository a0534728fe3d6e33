import QtQuick
import QtQuick.Layouts
import Quorvelle

// The title row inside a card: symbol tile, title and subtitle. It takes the width its card
// offers and wraps the texts in it, so that a long subtitle never runs past the card's edge.
RowLayout {
    id: root

    property string symbolName
    property string title
    property string subtitle

    Layout.fillWidth: true
    spacing: 12

    Rectangle {
        implicitWidth: 34
        implicitHeight: 34
        radius: 10
        color: DesktopTheme.colors.headerIconBackground

        Icon {
            anchors.centerIn: parent
            name: root.symbolName
            size: 15
            color: DesktopTheme.colors.primaryText
        }
    }

    ColumnLayout {
        Layout.fillWidth: true
        spacing: 4

        UiText {
            Layout.fillWidth: true
            text: root.title
            wrapMode: Text.Wrap
            font.pixelSize: 15
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
