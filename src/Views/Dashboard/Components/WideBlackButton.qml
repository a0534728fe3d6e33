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

    contentItem: Item {
        implicitWidth: label.implicitWidth
        implicitHeight: label.implicitHeight

        IconTitleLabel {
            id: label
            anchors.centerIn: parent
            symbolName: root.symbolName
            title: root.title
            iconSize: 14
            titleFirst: true
            color: DesktopTheme.colors.darkButtonText
        }
    }

    background: Rectangle {
        radius: 8
        color: DesktopTheme.colors.primaryText
    }
}
