import QtQuick
import QtQuick.Layouts
import Quorvelle

// A large choice of a mode: symbol tile, title, subtitle and tag chips on a card 156 high (or as
// high as the page makes it). A disabled card keeps its selection colours, dims slightly and
// ignores clicks.
DashboardChoiceButton {
    id: root

    property string subtitle
    property var tags: []
    property string symbolName
    property bool isDisabled: false

    Layout.fillWidth: true
    enabled: !isDisabled
    opacity: isDisabled ? 0.92 : 1
    padding: 16
    implicitWidth: 240
    implicitHeight: 156
    // The height that shows the whole subtitle at the card's current width: a page may give its
    // cards that much where 156 would cut the subtitle short.
    readonly property real fittingHeight: Math.ceil(topPadding + bottomPadding + header.implicitHeight
                                                    + titleText.implicitHeight + wholeSubtitle.contentHeight
                                                    + tagStrip.implicitHeight + 2 * column.spacing
                                                    + textBlock.spacing) + 1

    // The content is centred on the card and never enlarges it: the subtitle keeps as many
    // lines as the card has room for (at least one) and ends in an ellipsis when cut short.
    contentItem: Item {
        id: content

        readonly property real roomForSubtitle: height - header.implicitHeight - titleText.implicitHeight
                                                - tagStrip.implicitHeight - 2 * column.spacing - textBlock.spacing

        // The subtitle laid out whole at the card's width, never shown: what `fittingHeight`
        // measures.
        UiText {
            id: wholeSubtitle
            visible: false
            width: content.width
            text: root.subtitle
            wrapMode: Text.Wrap
            font: subtitleText.font
        }

        ColumnLayout {
            id: column
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            spacing: 14

            RowLayout {
                id: header
                Layout.fillWidth: true

                Rectangle {
                    objectName: "mode-symbol-tile"
                    implicitWidth: 42
                    implicitHeight: 42
                    radius: 21
                    color: DesktopTheme.colors.headerIconBackground

                    Icon {
                        anchors.centerIn: parent
                        name: root.symbolName
                        size: 18
                        color: DesktopTheme.colors.primaryText
                    }
                }

                Item {
                    Layout.fillWidth: true
                }

                CheckBadge {
                    objectName: "mode-check"
                    visible: root.isSelected
                }
            }

            ColumnLayout {
                id: textBlock
                Layout.fillWidth: true
                spacing: 6

                UiText {
                    id: titleText
                    objectName: "option-title"
                    Layout.fillWidth: true
                    text: root.title
                    elide: Text.ElideRight
                    font.pixelSize: 16
                    font.weight: Font.DemiBold
                    color: DesktopTheme.colors.primaryText
                }

                UiText {
                    id: subtitleText
                    objectName: "option-subtitle"
                    Layout.fillWidth: true
                    text: root.subtitle
                    wrapMode: Text.Wrap
                    elide: Text.ElideRight
                    maximumLineCount: Math.max(1, Math.floor(content.roomForSubtitle / subtitleMetrics.height))
                    color: DesktopTheme.colors.secondaryText

                    FontMetrics {
                        id: subtitleMetrics
                        font: subtitleText.font
                    }
                }
            }

            Item {
                id: tagStrip
                objectName: "mode-tags"
                Layout.fillWidth: true
                implicitHeight: tagRow.implicitHeight
                clip: true

                Row {
                    id: tagRow
                    spacing: 8

                    Repeater {
                        model: root.tags

                        MetadataPill {
                            required property string modelData
                            title: modelData
                        }
                    }
                }
            }
        }
    }

    background: Rectangle {
        objectName: "mode-card-base"
        radius: 16
        color: root.isSelected ? DesktopTheme.colors.selectedCardFill : DesktopTheme.colors.inputBackground
        border.color: root.isSelected ? DesktopTheme.colors.selectedCardBorder : DesktopTheme.colors.inputBorder
        border.width: 1

        CardGlow {
            objectName: "mode-card-glow"
            visible: root.isSelected
            glowRadius: 18
            cornerRadius: 16
            color: DesktopTheme.colors.selectedGlow
        }
    }
}
