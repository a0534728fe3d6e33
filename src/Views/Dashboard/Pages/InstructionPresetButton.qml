import QtQuick
import QtQuick.Controls
import Quorvelle

// One quick preset ("default", "professional", "shortAndClean"): its title in a small pill, what
// it does as the tooltip. The page decides the selection; a click calls `callback`.
DashboardChoiceButton {
    id: root

    property string preset: "default"
    property string languageCode: "en"
    readonly property string detail: InstructionsPageRules.presetDetail(languageCode, preset)

    title: InstructionsPageRules.presetTitle(languageCode, preset)
    leftPadding: 14
    rightPadding: 14
    topPadding: 10
    bottomPadding: 10
    Accessible.description: detail
    ToolTip.text: detail
    ToolTip.visible: hovered

    contentItem: UiText {
        text: root.title
        font.weight: Font.DemiBold
        color: root.isSelected ? DesktopTheme.colors.primaryText : DesktopTheme.colors.secondaryText
    }

    background: Rectangle {
        radius: 10
        color: root.isSelected ? DesktopTheme.colors.selectedCardFill : DesktopTheme.colors.pillFill
        border.color: root.isSelected ? DesktopTheme.colors.selectedCardBorder : DesktopTheme.colors.pillBorder
        border.width: 1
    }
}
