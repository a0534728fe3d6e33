import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quorvelle

// The input device used for recording: the stored choice, the device in use, a menu of the
// connected devices (and the stored one while it is away), a line on the situation and a refresh.
SurfaceCard {
    id: root

    required property AppViewModel viewModel
    required property SettingsPageModel page
    readonly property bool turkish: viewModel.languageCode === "tr"

    function text(english, turkish) {
        return root.turkish ? turkish : english
    }

    objectName: "settings-microphone"

    ColumnLayout {
        Layout.fillWidth: true
        spacing: 16

        SectionHeading {
            symbolName: "mic"
            title: root.text("Microphone", "Mikrofon")
            subtitle: root.text("Choose which input device Quorvelle uses for recording.",
                                "Quorvelle'in kayıt için hangi giriş cihazını kullanacağını seçin.")
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 12

            CompactInfoCard {
                objectName: "settings-microphone-selected"
                Layout.alignment: Qt.AlignTop
                eyebrow: root.text("SELECTED", "SEÇİLİ")
                value: root.page.selectedMicrophoneName
            }
            CompactInfoCard {
                objectName: "settings-microphone-active"
                Layout.alignment: Qt.AlignTop
                eyebrow: root.text("ACTIVE", "AKTİF")
                value: root.page.activeMicrophone
            }
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: pickerRow.implicitHeight + 24
            radius: 10
            color: DesktopTheme.colors.inputBackground
            border.color: DesktopTheme.colors.inputBorder
            border.width: 1

            RowLayout {
                id: pickerRow
                anchors.fill: parent
                anchors.leftMargin: 16
                anchors.rightMargin: 16
                anchors.topMargin: 12
                anchors.bottomMargin: 12
                spacing: 12

                UiText {
                    text: root.text("Input Device", "Giriş Cihazı")
                    color: DesktopTheme.colors.primaryText
                }

                Item {
                    Layout.fillWidth: true
                }

                PopUpPicker {
                    id: picker
                    objectName: "settings-microphone-picker"
                    Layout.preferredWidth: 280
                    font.family: Fonts.ui
                    font.pixelSize: 13
                    model: root.page.microphoneRows
                    textRole: "title"
                    currentIndex: root.page.selectedMicrophoneRow
                    leftPadding: 10
                    Accessible.name: root.text("Input Device", "Giriş Cihazı")
                    Accessible.role: Accessible.ComboBox
                    contentItem: UiText {
                        leftPadding: picker.leftPadding
                        rightPadding: picker.indicator.width + 6
                        text: picker.displayText
                        elide: Text.ElideRight
                        verticalAlignment: Text.AlignVCenter
                        color: DesktopTheme.colors.primaryText
                    }
                    background: Rectangle {
                        implicitHeight: 30
                        radius: 8
                        color: DesktopTheme.colors.cardFill
                        border.color: DesktopTheme.colors.controlBorder
                        border.width: 1
                    }
                    // The view model decides; the menu shows its answer, not the click.
                    onActivated: index => {
                        root.page.selectMicrophone(index)
                        currentIndex = Qt.binding(() => root.page.selectedMicrophoneRow)
                    }
                }
            }
        }

        UiText {
            objectName: "settings-microphone-message"
            Layout.fillWidth: true
            text: root.viewModel.microphoneSelectionMessage
            wrapMode: Text.Wrap
            color: DesktopTheme.colors.secondaryText
        }

        HeaderGhostButton {
            objectName: "settings-microphone-refresh"
            title: root.text("Refresh devices", "Cihazları Yenile")
            symbolName: "arrow.clockwise"
            callback: () => root.viewModel.refreshInputDevices(true)
        }
    }
}
