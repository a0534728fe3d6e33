import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quorvelle

// The instructions page: the cleanup mode, quick presets, the editor of the custom instructions
// with its counter, Reset and Save. The editor edits the view model's draft keystroke by
// keystroke, so an unsaved edit outlives the page; only Save makes the draft the saved text.
ColumnLayout {
    id: root

    required property AppViewModel viewModel
    required property MainWindowState windowState
    readonly property QtObject preferences: viewModel.preferences
    readonly property string languageCode: viewModel.languageCode
    readonly property string draft: preferences.customInstructionsDraft
    readonly property bool canSave: preferences.hasUnsavedCustomInstructions

    objectName: "instructions-page"
    spacing: 0

    function text(english, turkish) {
        return DashboardTexts.localized(root.languageCode, english, turkish)
    }

    SurfaceCard {
        objectName: "instructions-card"

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 18

            SectionHeading {
                symbolName: "slider.horizontal.3"
                title: root.text("Global Instructions", "Genel Talimatlar")
                subtitle: root.text("Keep this simple. Tell Quorvelle how its final transcription output should usually read.",
                                    "Basit tutun. Quorvelle'e final transcription çıktısının genelde nasıl okunması gerektiğini anlatın.")
            }

            UiText {
                Layout.fillWidth: true
                text: root.text("Use this area for output style only. Example: \"Use proper capitalization and punctuation. Keep the wording concise and professional.\"",
                                "Bu alanı yalnızca çıktı stili için kullanın. Örnek: \"Doğru büyük/küçük harf ve noktalama kullan. Metni kısa ve profesyonel tut.\"")
                wrapMode: Text.Wrap
                font.pixelSize: 14
                color: DesktopTheme.colors.secondaryText
            }

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 10

                UiText {
                    text: root.text("Cleanup mode", "Cleanup modu")
                    font.weight: Font.DemiBold
                    color: DesktopTheme.colors.primaryText
                }

                Flow {
                    Layout.fillWidth: true
                    spacing: 10

                    Repeater {
                        model: ["off", "default", "chat", "email", "rewrite"]

                        // The view model is asked even for the mode in force; it answers that it is selected.
                        CleanupModeButton {
                            required property string modelData
                            objectName: "instructions-cleanup-" + modelData
                            mode: modelData
                            languageCode: root.languageCode
                            isSelected: root.preferences.selectedPostProcessingMode === modelData
                            callback: function() { root.preferences.setPostProcessingMode(modelData) }
                        }
                    }
                }
            }

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 10

                UiText {
                    text: root.text("Quick presets", "Hızlı presetler")
                    font.weight: Font.DemiBold
                    color: DesktopTheme.colors.primaryText
                }

                Flow {
                    Layout.fillWidth: true
                    spacing: 10

                    Repeater {
                        model: InstructionsPageRules.presetNames()

                        // A preset only fills the draft: nothing is stored until Save.
                        InstructionPresetButton {
                            required property string modelData
                            objectName: "instructions-preset-" + modelData
                            preset: modelData
                            languageCode: root.languageCode
                            isSelected: InstructionsPageRules.selectedPreset(root.draft) === modelData
                            callback: function() {
                                root.preferences.customInstructionsDraft =
                                        InstructionsPageRules.limited(InstructionsPageRules.presetText(modelData))
                            }
                        }
                    }
                }

                UiText {
                    text: root.text("Presets fill the editor. Save to apply.", "Presetler editörü doldurur. Uygulamak için kaydedin.")
                    font.pixelSize: 12
                    color: DesktopTheme.colors.secondaryText
                }
            }

            InstructionsEditor {
                objectName: "instructions-editor"
                Layout.fillWidth: true
                preferences: root.preferences
                accessibleName: root.text("Global Instructions", "Genel Talimatlar")
            }

            RowLayout {
                Layout.fillWidth: true

                UiText {
                    objectName: "instructions-counter"
                    text: InstructionsPageRules.counterText(root.languageCode, root.draft)
                    color: DesktopTheme.colors.secondaryText
                }

                Item {
                    Layout.fillWidth: true
                }

                DashboardButtonBase {
                    id: resetButton
                    objectName: "instructions-reset"
                    title: root.text("Reset", "Sıfırla")
                    callback: function() { root.preferences.resetCustomInstructions() }
                    leftPadding: 16
                    rightPadding: 16
                    topPadding: 10
                    bottomPadding: 10

                    contentItem: UiText {
                        text: resetButton.title
                        font.pixelSize: 14
                        font.weight: Font.DemiBold
                        color: DesktopTheme.colors.primaryText
                    }

                    background: Rectangle {
                        radius: 8
                        color: DesktopTheme.colors.pillFill
                    }
                }

                DashboardButtonBase {
                    id: saveButton
                    objectName: "instructions-save"
                    enabled: root.canSave
                    opacity: root.canSave ? 1 : 0.55
                    title: root.text("Save Instructions", "Talimatları Kaydet")
                    callback: function() { root.preferences.saveCustomInstructions() }
                    leftPadding: 16
                    rightPadding: 16
                    topPadding: 10
                    bottomPadding: 10

                    contentItem: IconTitleLabel {
                        symbolName: "tray.and.arrow.down"
                        title: saveButton.title
                        iconSize: 14
                        titleSize: 14
                        titleWeight: Font.DemiBold
                        color: DesktopTheme.colors.darkButtonText
                    }

                    background: Rectangle {
                        radius: 8
                        color: DesktopTheme.colors.secondaryButtonFill
                    }
                }
            }
        }
    }
}
