import QtQuick
import Quorvelle

// An outlined button with a symbol, inside a card or row.
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
        color: DesktopTheme.colors.primaryText
    }

    background: Rectangle {
        radius: 8
        color: "transparent"
        border.color: DesktopTheme.colors.inputBorder
        border.width: 1
    }
}
