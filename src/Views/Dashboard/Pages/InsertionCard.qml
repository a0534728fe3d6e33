import QtQuick
import QtQuick.Layouts
import Quorvelle

// How a finished dictation reaches the focused field: two switches over the view model's values.
SurfaceCard {
    id: root

    required property AppViewModel viewModel
    readonly property PreferencesViewModel preferences: viewModel.preferences
    readonly property bool turkish: viewModel.languageCode === "tr"

    function text(english, turkish) {
        return root.turkish ? turkish : english
    }

    objectName: "settings-insertion"

    ColumnLayout {
        Layout.fillWidth: true
        spacing: 16

        SectionHeading {
            symbolName: "text.cursor"
            title: root.text("Insertion", "Metin Ekleme")
            subtitle: root.text("Control how completed dictation is delivered to the focused text field.",
                                "Tamamlanan diktenin odaktaki metin alanına nasıl gönderileceğini kontrol edin.")
        }

        ToggleFeatureCard {
            objectName: "settings-auto-replace"
            title: root.text("Replace last dictation automatically", "Son dikteyi otomatik değiştir")
            subtitle: root.text("Off keeps the natural behavior: every new dictation inserts at the current cursor. On only reuses the last dictation range when it is still safely selected.",
                                "Kapalıyken her yeni dikte imleç konumuna eklenir. Açıkken yalnızca son dikte aralığı güvenle seçiliyse tekrar kullanılır.")
            isOn: root.preferences.isLastDictationAutoReplaceEnabled
            onEdited: on => root.preferences.setLastDictationAutoReplaceEnabled(on)
        }

        ToggleFeatureCard {
            objectName: "settings-clipboard-fallback"
            title: root.text("Use clipboard fallback", "Clipboard fallback kullan")
            subtitle: root.text("When direct insertion is unsupported, Quorvelle can send paste or keep the transcript on the clipboard for manual Ctrl+V.",
                                "Doğrudan ekleme desteklenmiyorsa Quorvelle paste gönderebilir veya transcript'i manuel Ctrl+V için clipboard'da tutabilir.")
            isOn: root.preferences.isClipboardFallbackEnabled
            onEdited: on => root.preferences.setClipboardFallbackEnabled(on)
        }
    }
}
