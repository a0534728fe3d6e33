import QtQuick
import Quorvelle

// An outlined button with a symbol in a page header. Disabled, it is dimmed and does nothing.
DashboardButtonBase {
    id: root

    property string symbolName
    property bool isDisabled: false

    enabled: !isDisabled
    opacity: isDisabled ? 0.45 : 1
    leftPadding: 14
    rightPadding: 14
    topPadding: 8
    bottomPadding: 8

    contentItem: IconTitleLabel {
        symbolName: root.symbolName
        title: root.title
        titleSize: 13
        color: DesktopTheme.colors.primaryText
    }

    background: Rectangle {
        radius: 8
        color: DesktopTheme.colors.cardFill
        border.color: DesktopTheme.colors.inputBorder
        border.width: 1
    }
}
