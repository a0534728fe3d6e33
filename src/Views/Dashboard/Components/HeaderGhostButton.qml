import QtQuick
import Quorvelle

// A muted symbol-and-text link in a page header: no padding, fill or border.
DashboardButtonBase {
    id: root

    property string symbolName

    contentItem: IconTitleLabel {
        symbolName: root.symbolName
        title: root.title
        iconSize: 12
        titleSize: 13
        titleWeight: Font.Normal
        spacing: 6
        color: DesktopTheme.colors.secondaryText
    }

    background: null
}
