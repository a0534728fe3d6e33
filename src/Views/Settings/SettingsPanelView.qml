import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quorvelle

// The Settings tab: the hot key (recorder, suggestions), the recording mode, the two delivery
// switches and the microphone. Every control shows the view model's value and changes it only
// through its operation; a refused change snaps the control back to the published value.
ColumnLayout {
    id: root

    required property QtObject viewModel
    readonly property bool turkish: viewModel.strings.languageCode === "tr"

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
                text: root.viewModel.selectedHotkey.displayTitle
                font.pixelSize: MenuType.caption.pixelSize
                font.weight: Font.Medium
                color: MenuStyle.text
            }
        }

        HotkeyCaptureButton {
            objectName: "settings-recorder"
            strings: root.viewModel.strings
            currentTitle: root.viewModel.selectedHotkey.displayTitle
            onCapture: shortcut => root.viewModel.setHotkey(shortcut)
            onFailure: message => root.viewModel.reportHotkeyCaptureUnsupported(message)
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
                model: root.viewModel.hotkeySuggestions

                PopoverButton {
                    required property var modelData
                    required property int index

                    objectName: "settings-suggestion-" + index
                    text: modelData.displayTitle
                    onClicked: root.viewModel.setHotkey(modelData)
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

                PopoverButton {
                    id: segment

                    required property var modelData
                    readonly property bool isSelected: root.viewModel.selectedRecordingTriggerMode === modelData.mode

                    objectName: "settings-mode-" + modelData.mode
                    checkable: true
                    checked: isSelected
                    text: modelData.title
                    onToggled: {
                        if (checked)
                            root.viewModel.setRecordingTriggerMode(modelData.mode)
                        checked = Qt.binding(() => segment.isSelected)
                    }
                }
            }
        }

        UiText {
            objectName: "settings-mode-description"
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            text: root.viewModel.selectedRecordingTriggerMode === "toggle"
                  ? (root.turkish ? "Kaydı başlatmak için bir kez, bitirmek için tekrar basın."
                                  : "Press once to start recording, press again to stop.")
                  : (root.turkish ? "Hotkey basılı tutulurken kayıt alınır." : "Record while the hotkey is held.")
            font: MenuType.caption
            color: MenuStyle.secondary
        }

        CheckBox {
            objectName: "settings-auto-replace"
            checked: root.viewModel.isLastDictationAutoReplaceEnabled
            text: root.turkish ? "Son dikteyi otomatik değiştir" : "Replace last dictation automatically"
            font: MenuType.body
            Accessible.name: text
            onToggled: {
                root.viewModel.setLastDictationAutoReplaceEnabled(checked)
                checked = Qt.binding(() => root.viewModel.isLastDictationAutoReplaceEnabled)
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

        CheckBox {
            objectName: "settings-clipboard-fallback"
            checked: root.viewModel.isClipboardFallbackEnabled
            text: root.turkish ? "Clipboard fallback kullan" : "Use clipboard fallback"
            font: MenuType.body
            Accessible.name: text
            onToggled: {
                root.viewModel.setClipboardFallbackEnabled(checked)
                checked = Qt.binding(() => root.viewModel.isClipboardFallbackEnabled)
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

        MicrophonePickerModel {
            id: microphones
            strings: root.viewModel.strings
            diagnosticsSnapshot: root.viewModel.diagnosticsSnapshot
            selectedMicrophonePreference: root.viewModel.selectedMicrophonePreference
            selectedMicrophoneLabel: root.viewModel.selectedMicrophoneLabel || ""
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            UiText {
                text: root.turkish ? "Mikrofon" : "Microphone"
                font: MenuType.body
                color: MenuStyle.text
            }

            ComboBox {
                objectName: "settings-microphone"
                Layout.fillWidth: true
                model: microphones.titles
                currentIndex: microphones.selectedIndex
                font: MenuType.body
                Accessible.name: root.turkish ? "Mikrofon" : "Microphone"
                onActivated: index => {
                    if (index !== microphones.selectedIndex)
                        root.viewModel.setMicrophonePreference(microphones.uidAt(index))
                    currentIndex = Qt.binding(() => microphones.selectedIndex)
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
