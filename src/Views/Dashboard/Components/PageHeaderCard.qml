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

        ColumnLayout {
            spacing: 4

            UiText {
                objectName: "main-window-page-title"
                Accessible.name: root.title
                text: root.title
                font.pixelSize: 18
                font.weight: Font.DemiBold
                color: DesktopTheme.colors.primaryText
            }

            UiText {
                text: root.subtitle
                color: DesktopTheme.colors.secondaryText
            }
        }

        Item {
            Layout.fillWidth: true
        }

        Loader {
            sourceComponent: root.trailing
        }
    }
}
