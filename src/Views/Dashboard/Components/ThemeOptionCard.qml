import QtQuick
import QtQuick.Layouts
import Quorvelle

// One desktop theme, shown by its name, a miniature in its own palette and a description.
OptionCardFrame {
    id: root

    property string subtitle
    property desktopThemePalette palette

    cardPadding: 14
    badgeInset: 12
    contentSpacing: 14

    UiText {
        objectName: "option-title"
        Layout.fillWidth: true
        text: root.title
        font.pixelSize: 15
        font.weight: Font.Medium
        color: DesktopTheme.colors.primaryText
    }

    ThemePreviewCard {
        objectName: "theme-miniature"
        Layout.fillWidth: true
        palette: root.palette
    }

    UiText {
        objectName: "option-subtitle"
        Layout.fillWidth: true
        text: root.subtitle
        wrapMode: Text.Wrap
        color: DesktopTheme.colors.secondaryText
    }
}
