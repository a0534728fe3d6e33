import QtQuick
import QtQuick.Layouts
import Quorvelle

// The title row inside a card: symbol tile, title and subtitle.
RowLayout {
    id: root

    property string symbolName
    property string title
    property string subtitle

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
        spacing: 4

        UiText {
            text: root.title
            font.pixelSize: 15
            font.weight: Font.DemiBold
            color: DesktopTheme.colors.primaryText
        }

        UiText {
            text: root.subtitle
            color: DesktopTheme.colors.secondaryText
        }
    }
}
