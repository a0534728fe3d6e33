import QtQuick
import QtQuick.Layouts
import Quorvelle

// One look of the floating widget when idle, shown as a miniature of it: the idle pill
// ("currentWidget") or the logo alone ("logoOnly").
OptionCardFrame {
    id: root

    property string subtitle
    property string preview: "currentWidget"

    cardPadding: 16
    badgeInset: 14
    contentSpacing: 14

    Rectangle {
        objectName: "widget-miniature"
        Layout.fillWidth: true
        implicitHeight: 114
        radius: 14
        color: DesktopTheme.colors.inputBackground

        Rectangle {
            objectName: "idle-pill-miniature"
            visible: root.preview !== "logoOnly"
            anchors.centerIn: parent
            width: 112
            height: 28
            radius: 14
            color: Qt.rgba(0, 0, 0, 0.55)

            Row {
                anchors.centerIn: parent
                spacing: 8

                QuorvelleLogoMark {
                    anchors.verticalCenter: parent.verticalCenter
                    compact: true
                }

                // Light on the dark capsule in every theme, as on the widget itself (the light
                // theme's dark text would not read there).
                UiText {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "Quorvelle"
                    font.pixelSize: 11
                    font.weight: Font.DemiBold
                    color: Qt.rgba(1, 1, 1, 0.95)
                }
            }
        }

        QuorvelleLogoMark {
            objectName: "logo-miniature"
            visible: root.preview === "logoOnly"
            anchors.centerIn: parent
            compact: false
            scale: 0.95
        }
    }

    ColumnLayout {
        Layout.fillWidth: true
        spacing: 4

        UiText {
            objectName: "option-title"
            Layout.fillWidth: true
            text: root.title
            font.pixelSize: 14
            font.weight: Font.DemiBold
            color: DesktopTheme.colors.primaryText
        }

        UiText {
            objectName: "option-subtitle"
            Layout.fillWidth: true
            text: root.subtitle
            wrapMode: Text.Wrap
            color: DesktopTheme.colors.secondaryText
        }
    }
}
