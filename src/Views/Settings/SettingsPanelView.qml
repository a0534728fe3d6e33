import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quorvelle

// The Settings tab: the hot key (recorder, suggestions), the recording mode, the two delivery
// switches and the microphone. Every control shows the view model's value and changes it only
// through its operation; a refused change snaps the control back to the published value.
ColumnLayout {
    id: root

    required property AppViewModel viewModel
    readonly property PreferencesViewModel preferences: viewModel.preferences
    readonly property bool turkish: viewModel.languageCode === "tr"

    spacing: 12

    SettingsCard {
        title: "Hotkey"

        RowLayout {
            UiText {
                text: root.turkish ? "Aktif kombinasyon" : "Active combination"
                font: MenuType.caption
                color: MenuStyle.secondary
            }

            UiText {
                objectName: "settings-active-hotkey"
                text: root.preferences.selectedHotkey.displayTitle
                font.pixelSize: MenuType.caption.pixelSize
                font.weight: Font.Medium
                color: MenuStyle.text
            }
        }

        HotkeyCaptureButton {
            objectName: "settings-recorder"
            strings: root.viewModel.strings
            currentTitle: root.preferences.selectedHotkey.displayTitle
            onCapture: shortcut => root.preferences.setHotkey(shortcut)
            onFailure: message => root.preferences.reportHotkeyCaptureUnsupported(message)
        }

        ColumnLayout {
            objectName: "settings-suggestions"
            visible: suggestions.count > 0
            spacing: 8

            UiText {
                text: root.turkish ? "Önerilen alternatifler" : "Suggested alternatives"
                font: MenuType.caption
                color: MenuStyle.secondary
            }

            Repeater {
                id: suggestions
                model: root.preferences.hotkeySuggestions

                PopoverButton {
                    required property string displayTitle
                    required property int index

                    objectName: "settings-suggestion-" + index
                    text: displayTitle
                    onClicked: root.preferences.setHotkey(root.preferences.hotkeySuggestions.get(index))
                }
            }
        }

        UiText {
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            text: root.turkish ? "Super içeren veya sistemle çakışan kombinasyonlar reddedilir."
                               : "Combinations containing Super or conflicting with the system are rejected."
            font: MenuType.caption
            color: MenuStyle.secondary
        }
    }

    SettingsCard {
        title: root.turkish ? "Dikte" : "Dictation"

        RowLayout {
            spacing: 8

            UiText {
                text: root.turkish ? "Kayıt modu" : "Recording mode"
                font: MenuType.body
                color: MenuStyle.text
            }

            Repeater {
                model: [
                    { mode: "pushToTalk", title: root.turkish ? "Basılı tut" : "Push-to-Talk" },
                    { mode: "toggle", title: "Toggle" }
                ]

                PopoverChoice {
                    required property var modelData

                    objectName: "settings-mode-" + modelData.mode
                    isSelected: root.preferences.selectedRecordingTriggerMode === modelData.mode
                    text: modelData.title
                    onChoose: root.preferences.setRecordingTriggerMode(modelData.mode)
                }
            }
        }

        UiText {
            objectName: "settings-mode-description"
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            text: root.preferences.selectedRecordingTriggerMode === "toggle"
                  ? (root.turkish ? "Kaydı başlatmak için bir kez, bitirmek için tekrar basın."
                                  : "Press once to start recording, press again to stop.")
                  : (root.turkish ? "Hotkey basılı tutulurken kayıt alınır." : "Record while the hotkey is held.")
            font: MenuType.caption
            color: MenuStyle.secondary
        }

        PopoverCheckBox {
            objectName: "settings-auto-replace"
            checked: root.preferences.isLastDictationAutoReplaceEnabled
            text: root.turkish ? "Son dikteyi otomatik değiştir" : "Replace last dictation automatically"
            onToggled: {
                root.preferences.setLastDictationAutoReplaceEnabled(checked)
                checked = Qt.binding(() => root.preferences.isLastDictationAutoReplaceEnabled)
            }
        }

        UiText {
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            text: root.turkish
                  ? "Kapalıyken her yeni dikte cursor konumuna eklenir. Açıkken yalnızca son dikte metni seçiliyse değiştirilir."
                  : "Off inserts every new dictation at the cursor. On replaces only when the last dictation text is still selected."
            font: MenuType.caption
            color: MenuStyle.secondary
        }

        PopoverCheckBox {
            objectName: "settings-clipboard-fallback"
            checked: root.preferences.isClipboardFallbackEnabled
            text: root.turkish ? "Clipboard fallback kullan" : "Use clipboard fallback"
            onToggled: {
                root.preferences.setClipboardFallbackEnabled(checked)
                checked = Qt.binding(() => root.preferences.isClipboardFallbackEnabled)
            }
        }

        UiText {
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            text: root.turkish
                  ? "Açıkken desteklenmeyen alanlarda transcript panoya yazılır veya paste ile gönderilir. Kapalıyken clipboard'a dokunulmaz."
                  : "When enabled, unsupported fields use clipboard copy or paste. When off, the clipboard is not touched."
            font: MenuType.caption
            color: MenuStyle.secondary
        }

        // The dashboard settings page's reading of the microphone choice.
        SettingsPageModel {
            id: microphones
            viewModel: root.viewModel
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            UiText {
                text: root.turkish ? "Mikrofon" : "Microphone"
                font: MenuType.body
                color: MenuStyle.text
            }

            PopUpPicker {
                id: microphonePicker
                objectName: "settings-microphone"
                Layout.fillWidth: true
                model: microphones.microphoneRows
                textRole: "title"
                currentIndex: microphones.selectedMicrophoneRow
                font: MenuType.body
                Accessible.name: root.turkish ? "Mikrofon" : "Microphone"
                // A label, not the style's unnamed text field: the box itself is read, with its name.
                contentItem: UiText {
                    leftPadding: 6
                    rightPadding: microphonePicker.indicator.width + 6
                    text: microphonePicker.displayText
                    font: microphonePicker.font
                    elide: Text.ElideRight
                    verticalAlignment: Text.AlignVCenter
                    color: MenuStyle.text
                }
                onActivated: index => {
                    if (index !== microphones.selectedMicrophoneRow)
                        microphones.selectMicrophone(index)
                    currentIndex = Qt.binding(() => microphones.selectedMicrophoneRow)
                }
            }
        }

        UiText {
            objectName: "settings-microphone-message"
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            text: root.viewModel.microphoneSelectionMessage
            font: MenuType.caption
            color: MenuStyle.secondary
        }
    }
}
