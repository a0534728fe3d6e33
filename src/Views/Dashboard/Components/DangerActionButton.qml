import QtQuick
import Quorvelle

// An outlined red button with a symbol, inside a card or row.
DashboardButtonBase {
    id: root

    property string symbolName

    leftPadding: 14
    rightPadding: 14
    topPadding: 8
    bottomPadding: 8

    contentItem: IconTitleLabel {
        symbolName: root.symbolName
        title: root.title
        color: DesktopTheme.colors.errorText
    }

    background: Rectangle {
        radius: 8
        color: "transparent"
        border.color: DesktopTheme.colors.errorBorder
        border.width: 1
    }
}
