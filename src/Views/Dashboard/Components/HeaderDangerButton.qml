import QtQuick
import Quorvelle

// An outlined red text button in a page header. Disabled, it is dimmed and does nothing.
DashboardButtonBase {
    id: root

    property bool isDisabled: false

    enabled: !isDisabled
    opacity: isDisabled ? 0.45 : 1
    leftPadding: 14
    rightPadding: 14
    topPadding: 8
    bottomPadding: 8

    contentItem: UiText {
        text: root.title
        font.weight: Font.Medium
        color: DesktopTheme.colors.errorText
        verticalAlignment: Text.AlignVCenter
    }

    background: Rectangle {
        radius: 8
        color: "transparent"
        border.color: DesktopTheme.colors.errorBorder
        border.width: 1
    }
}
