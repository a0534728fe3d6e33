import QtQuick
import QtQuick.Layouts
import QtQuick.Templates as T
import Quorvelle

// One on/off setting as a card: title, wrapping subtitle and a drawn switch. The value belongs
// to the owner: bind `isOn` and take each click of the switch from `edited`. Only the switch
// reacts to clicks; it shows whatever `isOn` says, so a refused change leaves it in place.
Rectangle {
    id: root

    property string title
    property string subtitle
    property bool isOn: false
    signal edited(bool isOn)

    Layout.fillWidth: true
    implicitWidth: row.implicitWidth + 32
    implicitHeight: row.implicitHeight + 32
    radius: 14
    color: DesktopTheme.colors.selectedCardFill
    border.color: DesktopTheme.colors.selectedCardBorder
    border.width: 1

    RowLayout {
        id: row
        anchors.fill: parent
        anchors.margins: 16
        spacing: 16

        ColumnLayout {
            Layout.fillWidth: true
            Layout.alignment: Qt.AlignVCenter
            spacing: 8

            UiText {
                objectName: "toggle-title"
                Layout.fillWidth: true
                text: root.title
                wrapMode: Text.Wrap
                font.pixelSize: 14
                font.weight: Font.DemiBold
                color: DesktopTheme.colors.primaryText
            }

            UiText {
                objectName: "toggle-subtitle"
                Layout.fillWidth: true
                text: root.subtitle
                wrapMode: Text.Wrap
                color: DesktopTheme.colors.secondaryText
            }
        }

        // A check box to screen readers, so that they read it as on or off.
        T.CheckBox {
            id: toggle
            objectName: "toggle-switch"
            Layout.alignment: Qt.AlignVCenter
            implicitWidth: 38
            implicitHeight: 22
            padding: 0
            indicator: null
            focusPolicy: Qt.TabFocus
            checked: root.isOn
            Accessible.name: root.title
            Keys.onReturnPressed: toggle.clicked()
            Keys.onEnterPressed: toggle.clicked()
            onClicked: {
                toggle.checked = Qt.binding(() => root.isOn)
                root.edited(!root.isOn)
            }

            background: Rectangle {
                objectName: "toggle-track"
                radius: height / 2
                color: root.isOn ? DesktopTheme.colors.primaryButtonFill : DesktopTheme.colors.inputBorder
                // Off, the quiet track alone would vanish into the card.
                border.color: DesktopTheme.colors.controlBorder
                border.width: root.isOn ? 0 : 1
            }

            contentItem: Item {
                Rectangle {
                    objectName: "toggle-knob"
                    x: root.isOn ? parent.width - width - 2 : 2
                    anchors.verticalCenter: parent.verticalCenter
                    width: 18
                    height: 18
                    radius: 9
                    color: root.isOn ? DesktopTheme.colors.darkButtonText : DesktopTheme.colors.primaryText
                }
            }
        }
    }
}
