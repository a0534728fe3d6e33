import QtQuick
import QtQuick.Layouts
import Quorvelle

// One local transcription model as a card: name, size, optional badge, description, tags and an
// optional warning, with the page's actions and a radio-style mark of the selected model.
// `badge`, `warningText`, `failureText` (why the last download failed) and `secondaryActionTitle`
// are optional: null or undefined leaves the item out. Every text and both actions come from the page.
Rectangle {
    id: root

    property string title
    property string languageCode: "en"
    property string subtitle
    property string size
    property var badge: null
    property var tags: []
    property var warningText: null
    property var failureText: null
    property bool isSelected: false
    property string primaryActionTitle
    property var primaryAction: null
    property var secondaryActionTitle: null
    property var secondaryAction: null
    // The page brings the whole row into view around its focused button.
    readonly property bool revealsWhole: true

    function isPresent(value) {
        return value !== null && value !== undefined
    }

    Layout.fillWidth: true
    implicitWidth: column.implicitWidth + 32
    implicitHeight: column.implicitHeight + 32
    radius: 14
    color: isSelected ? DesktopTheme.colors.selectedCardFill : DesktopTheme.colors.cardFill
    border.color: isSelected ? DesktopTheme.colors.selectedCardBorder : DesktopTheme.colors.inputBorder
    border.width: 1

    CardGlow {
        objectName: "model-glow"
        visible: root.isSelected
        glowRadius: 14
        cornerRadius: root.radius
        color: Qt.rgba(DesktopTheme.colors.selectedGlow.r, DesktopTheme.colors.selectedGlow.g,
                       DesktopTheme.colors.selectedGlow.b, DesktopTheme.colors.selectedGlow.a * 0.55)
    }

    ColumnLayout {
        id: column
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: 16
        spacing: 12

        RowLayout {
            Layout.fillWidth: true

            ColumnLayout {
                Layout.fillWidth: true
                Layout.alignment: Qt.AlignTop
                spacing: 8

                RowLayout {
                    spacing: 10

                    UiText {
                        objectName: "model-title"
                        text: root.title
                        font.pixelSize: 14
                        font.weight: Font.DemiBold
                        color: DesktopTheme.colors.primaryText
                    }

                    UiText {
                        objectName: "model-size"
                        text: root.size
                        font.pixelSize: 14
                        color: DesktopTheme.colors.secondaryText
                    }

                    MetadataPill {
                        objectName: "model-badge"
                        visible: root.isPresent(root.badge)
                        title: visible ? root.badge : ""
                        symbolName: "arrow.down.circle"
                    }
                }

                UiText {
                    objectName: "model-subtitle"
                    Layout.fillWidth: true
                    text: root.subtitle
                    wrapMode: Text.Wrap
                    color: DesktopTheme.colors.secondaryText
                }

                Row {
                    objectName: "model-tags"
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

            RowLayout {
                Layout.alignment: Qt.AlignTop
                spacing: 10

                SecondaryActionButton {
                    objectName: "model-secondary-button"
                    visible: root.isPresent(root.secondaryActionTitle)
                    title: visible ? root.secondaryActionTitle : ""
                    symbolName: "trash"
                    Accessible.description: DashboardTexts.buttonDescription(root.languageCode, title, root.title)
                    callback: root.secondaryAction
                }

                PrimaryActionButton {
                    objectName: "model-primary-button"
                    title: root.primaryActionTitle
                    Accessible.description: DashboardTexts.buttonDescription(root.languageCode, title, root.title)
                    symbolName: root.isSelected ? "checkmark.circle" : "arrow.down.circle"
                    callback: root.primaryAction
                }

                Item {
                    objectName: "model-selection-mark"
                    implicitWidth: 16
                    implicitHeight: 16

                    Rectangle {
                        anchors.fill: parent
                        radius: 8
                        color: "transparent"
                        border.width: 1
                        border.color: DesktopTheme.colors.controlBorder
                    }

                    Rectangle {
                        objectName: "model-selection-dot"
                        anchors.centerIn: parent
                        width: 7
                        height: 7
                        radius: 3.5
                        color: DesktopTheme.colors.primaryText
                        opacity: root.isSelected ? 1 : 0
                    }
                }
            }
        }

        UiText {
            objectName: "model-warning"
            Layout.fillWidth: true
            visible: root.isPresent(root.warningText)
            text: visible ? root.warningText : ""
            wrapMode: Text.Wrap
            font.pixelSize: 12
            font.weight: Font.Medium
            color: DesktopTheme.colors.secondaryText
        }

        UiText {
            objectName: "model-failure"
            Layout.fillWidth: true
            visible: root.isPresent(root.failureText)
            text: visible ? root.failureText : ""
            wrapMode: Text.Wrap
            font.pixelSize: 12
            font.weight: Font.Medium
            color: DesktopTheme.colors.errorText
        }
    }
}
