import QtQuick
import Quorvelle

// A filled button with a symbol, inside a card or row.
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
        titleWeight: Font.DemiBold
        color: DesktopTheme.colors.darkButtonText
    }

    background: Rectangle {
        radius: 8
        color: DesktopTheme.colors.primaryButtonFill
    }
}
