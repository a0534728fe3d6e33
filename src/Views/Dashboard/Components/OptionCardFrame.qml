import QtQuick
import QtQuick.Layouts
import Quorvelle

// The selectable frame of the appearance page's cards: a click anywhere calls `callback`; the
// selected card is filled and outlined in the highlight colours, glows, and carries a check badge
// in its top-trailing corner that covers whatever lies there without moving it.
DashboardChoiceButton {
    id: root

    property int cardPadding: 16
    property int minimumCardHeight: 0
    property int badgeInset: 12
    property int contentSpacing: 14
    default property alias content: column.data

    Layout.fillWidth: true
    padding: cardPadding
    implicitHeight: Math.max(minimumCardHeight, implicitContentHeight + topPadding + bottomPadding)

    // Shorter content sits in the middle of a card held taller by its minimum height.
    contentItem: Item {
        implicitWidth: column.implicitWidth
        implicitHeight: column.implicitHeight

        ColumnLayout {
            id: column
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            spacing: root.contentSpacing
        }
    }

    background: Rectangle {
        objectName: "option-card-background"
        radius: 16
        color: root.isSelected ? DesktopTheme.colors.selectedCardFill : DesktopTheme.colors.cardFill
        border.color: root.isSelected ? DesktopTheme.colors.selectedCardBorder : DesktopTheme.colors.inputBorder
        border.width: 1

        CardGlow {
            objectName: "option-card-glow"
            visible: root.isSelected
            glowRadius: 14
            cornerRadius: 16
            color: Qt.rgba(DesktopTheme.colors.selectedGlow.r, DesktopTheme.colors.selectedGlow.g,
                           DesktopTheme.colors.selectedGlow.b, DesktopTheme.colors.selectedGlow.a * 0.5)
        }
    }

    CheckBadge {
        objectName: "option-card-check"
        visible: root.isSelected
        z: 2
        anchors.top: parent.top
        anchors.right: parent.right
        anchors.margins: root.badgeInset
    }
}
