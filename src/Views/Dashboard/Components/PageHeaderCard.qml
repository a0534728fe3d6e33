import QtQuick
import QtQuick.Layouts
import Quorvelle

// The card above every dashboard page: the section's symbol, title and subtitle, and the
// page's own actions at the trailing end.
SurfaceCard {
    id: root

    property string title
    property string subtitle
    property string symbolName
    property Component trailing: null

    RowLayout {
        Layout.fillWidth: true
        spacing: 14

        Rectangle {
            implicitWidth: 40
            implicitHeight: 40
            radius: 12
            color: DesktopTheme.colors.headerIconBackground

            Icon {
                anchors.centerIn: parent
                name: root.symbolName
                size: 18
                color: DesktopTheme.colors.primaryText
            }
        }

        // Takes what the trailing actions leave and wraps in it, so that they stay on the card.
        ColumnLayout {
            Layout.fillWidth: true
            spacing: 4

            UiText {
                objectName: "main-window-page-title"
                Layout.fillWidth: true
                Accessible.name: root.title
                text: root.title
                wrapMode: Text.Wrap
                font.pixelSize: 18
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

        // Out of the row while empty: an unloaded Loader keeps the size of what it last held.
        Loader {
            visible: root.trailing !== null
            sourceComponent: root.trailing
        }
    }
}
