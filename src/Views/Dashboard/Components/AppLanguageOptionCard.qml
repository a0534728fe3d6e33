import QtQuick
import QtQuick.Layouts
import Quorvelle

// One interface language ("system", "english" or "turkish"): a round code badge, the option's
// title with its raw value as a caption, and a description, in the current interface language.
OptionCardFrame {
    id: root

    property string language: "system"
    property string languageCode: "en"

    readonly property string badgeCode: language === "english" ? "EN" : language === "turkish" ? "TR" : "A"

    cardPadding: 16
    minimumCardHeight: 132
    badgeInset: 12
    contentSpacing: 10
    title: DashboardTexts.appLanguageOptionTitle(languageCode, language)

    RowLayout {
        Layout.fillWidth: true
        spacing: 10

        Rectangle {
            objectName: "language-badge"
            implicitWidth: 38
            implicitHeight: 38
            radius: 19
            color: root.isSelected ? DesktopTheme.colors.primaryButtonFill : DesktopTheme.colors.inputBackground

            UiText {
                objectName: "language-badge-code"
                anchors.centerIn: parent
                text: root.badgeCode
                font.weight: Font.Bold
                color: root.isSelected ? DesktopTheme.colors.darkButtonText : DesktopTheme.colors.primaryText
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 3

            UiText {
                objectName: "option-title"
                Layout.fillWidth: true
                text: root.title
                wrapMode: Text.Wrap
                font.pixelSize: 15
                font.weight: Font.DemiBold
                color: DesktopTheme.colors.primaryText
            }

            UiText {
                objectName: "language-caption"
                text: root.language.toUpperCase()
                font.pixelSize: 10
                font.weight: Font.Bold
                color: DesktopTheme.colors.secondaryText
            }
        }
    }

    UiText {
        objectName: "option-subtitle"
        Layout.fillWidth: true
        text: DashboardTexts.appLanguageOptionDescription(root.languageCode, root.language)
        wrapMode: Text.Wrap
        color: DesktopTheme.colors.secondaryText
    }
}
