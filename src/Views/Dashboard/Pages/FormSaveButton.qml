import QtQuick
import QtQuick.Controls
import Quorvelle

// The save button of the dictionary and snippet forms: never disabled, its symbol and title
// given by the form's adding or editing state; `help`, when set, shows on hover.
DashboardButtonBase {
    id: root

    property string symbolName
    property string help

    Accessible.role: Accessible.Button
    leftPadding: 16
    rightPadding: 16
    topPadding: 10
    bottomPadding: 10

    ToolTip.text: help
    ToolTip.visible: help.length > 0 && hovered

    contentItem: IconTitleLabel {
        symbolName: root.symbolName
        title: root.title
        iconSize: 14
        titleWeight: Font.DemiBold
        color: DesktopTheme.colors.darkButtonText
    }

    background: Rectangle {
        radius: 8
        color: DesktopTheme.colors.primaryButtonFill
    }
}
