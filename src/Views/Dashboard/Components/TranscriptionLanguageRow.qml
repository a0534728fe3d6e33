import QtQuick
import QtQuick.Layouts
import Quorvelle

// One entry of the transcription-language list: the language's title, its ISO 639-1 code (or,
// for automatic detection, a hint) and a check mark when selected. `option` is
// { code: string, or null for automatic detection; name: string }.
DashboardChoiceButton {
    id: root

    property var option: ({ code: null, name: "" })
    property string languageCode: "en"

    readonly property bool isAutomatic: option.code === null || option.code === undefined
    title: DashboardTexts.transcriptionLanguageTitle(languageCode, option.code, option.name)
    readonly property string detail: isAutomatic
        ? DashboardTexts.localized(languageCode, "Use auto-detection for multilingual speech.",
                                   "Çok dilli konuşma için otomatik algılama kullan.")
        : DashboardTexts.localized(languageCode, "ISO-639-1 code: ", "ISO-639-1 kodu: ") + option.code

    Layout.fillWidth: true
    leftPadding: 14
    rightPadding: 14
    topPadding: 12
    bottomPadding: 12

    contentItem: RowLayout {
        spacing: 12

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 4

            UiText {
                objectName: "language-title"
                Layout.fillWidth: true
                text: root.title
                wrapMode: Text.Wrap
                font.pixelSize: 14
                font.weight: Font.DemiBold
                color: DesktopTheme.colors.primaryText
            }

            UiText {
                objectName: "language-detail"
                Layout.fillWidth: true
                text: root.detail
                wrapMode: Text.Wrap
                font.pixelSize: 12
                color: DesktopTheme.colors.secondaryText
            }
        }

        Icon {
            objectName: "language-check"
            visible: root.isSelected
            name: "checkmark.circle.fill"
            size: 16
            color: DesktopTheme.colors.successText
        }
    }

    background: Rectangle {
        objectName: "language-row-background"
        radius: 12
        color: DesktopTheme.colors.inputBackground
        border.color: root.isSelected ? DesktopTheme.colors.selectedCardBorder : DesktopTheme.colors.inputBorder
        border.width: 1
    }
}
