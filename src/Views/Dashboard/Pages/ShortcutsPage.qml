import QtQuick
import QtQuick.Layouts
import Quorvelle

// The shortcuts page: how the one global shortcut works, the shortcut itself with the button
// that opens the window's capture sheet, and the recording mode. It keeps nothing: the shortcut
// and the mode are the view model's, the sheet's flag is the window's.
ColumnLayout {
    id: root

    required property AppViewModel viewModel
    required property MainWindowState windowState
    readonly property QtObject preferences: viewModel.preferences
    readonly property string languageCode: viewModel.languageCode
    readonly property string mode: preferences.selectedRecordingTriggerMode

    objectName: "shortcuts-page"
    spacing: 18

    function text(english, turkish) {
        return DashboardTexts.localized(root.languageCode, english, turkish)
    }

    SurfaceCard {
        objectName: "shortcuts-explanation"

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 12

            SectionHeading {
                symbolName: "keyboard"
                title: root.text("How shortcuts work", "Kısayollar nasıl çalışır")
                subtitle: root.text("Quorvelle uses one global shortcut. The selected recording mode decides whether you hold the key or tap it to start and stop.",
                                    "Quorvelle tek bir global kısayol kullanır. Seçili kayıt modu tuşu basılı tutup tutmayacağınızı veya başlatıp durdurmak için dokunacağınızı belirler.")
            }

            UiText {
                Layout.fillWidth: true
                text: root.text("Use combinations with at least one modifier key for the most reliable global behavior.",
                                "En güvenilir global davranış için en az bir modifier tuş içeren kombinasyonlar kullanın.")
                wrapMode: Text.Wrap
                font.pixelSize: 14
                color: DesktopTheme.colors.secondaryText
            }
        }
    }

    ShortcutCard {
        objectName: "shortcuts-global-card"
        symbolName: "mic"
        title: root.text("Global Shortcut", "Global Kısayol")
        subtitle: root.text("This shortcut is shared by both recording modes.",
                            "Bu kısayol iki kayıt modu tarafından ortak kullanılır.")
        value: ShortcutsPageTexts.hotkeyDisplayText(root.preferences.selectedHotkey.displayTitle)
        // Whether or not the monitor runs: the shortcut is the one in force.
        trailingStatus: root.text("Active", "Aktif")
        primaryButtonTitle: root.text("Change", "Değiştir")
        primaryAction: function() { root.windowState.showingHotkeyCaptureSheet = true }
    }

    SurfaceCard {
        objectName: "shortcuts-recording-mode"

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 16

            SectionHeading {
                symbolName: "switch.2"
                title: root.text("Recording Mode", "Kayıt Modu")
                subtitle: root.text("Choose how the same shortcut behaves when dictation starts.",
                                    "Aynı kısayolun dikte başlarken nasıl davranacağını seçin.")
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 12

                // The view model is asked even for the mode in force; it answers that it is active.
                RecordingModeOptionButton {
                    objectName: "shortcuts-mode-pushToTalk"
                    title: root.text("Push-to-Talk", "Basılı tut")
                    subtitle: root.text("Hold to record, release to stop.",
                                        "Kaydetmek için basılı tutun, durdurmak için bırakın.")
                    isSelected: root.mode === "pushToTalk"
                    callback: function() { root.preferences.setRecordingTriggerMode("pushToTalk") }
                }

                RecordingModeOptionButton {
                    objectName: "shortcuts-mode-toggle"
                    title: "Toggle"
                    subtitle: root.text("Press once to start, press again to stop.",
                                        "Başlatmak için bir kez, durdurmak için tekrar basın.")
                    isSelected: root.mode === "toggle"
                    callback: function() { root.preferences.setRecordingTriggerMode("toggle") }
                }
            }

            UiText {
                objectName: "shortcuts-mode-description"
                Layout.fillWidth: true
                text: ShortcutsPageTexts.recordingModeDescription(root.languageCode, root.mode)
                wrapMode: Text.Wrap
                color: DesktopTheme.colors.secondaryText
            }
        }
    }
}
