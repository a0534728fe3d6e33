import QtQuick
import QtQuick.Layouts
import Quorvelle

// Whether the personal dictionary's replacements are applied after each transcription; the
// entries themselves are edited on the dictionary page.
SurfaceCard {
    id: root

    required property AppViewModel viewModel
    readonly property bool turkish: viewModel.languageCode === "tr"

    function text(english, turkish) {
        return root.turkish ? turkish : english
    }

    objectName: "settings-dictionary"

    ColumnLayout {
        Layout.fillWidth: true
        spacing: 16

        SectionHeading {
            symbolName: "book.closed"
            title: root.text("Dictionary", "Sözlük")
            subtitle: root.text("Automatically replace terms in transcriptions using your custom dictionary.",
                                "Özel sözlüğünüzü kullanarak transcription içindeki terimleri otomatik değiştirin.")
        }

        ToggleFeatureCard {
            objectName: "settings-dictionary-switch"
            title: root.text("Apply dictionary to transcriptions", "Sözlüğü transcription'a uygula")
            subtitle: root.text("When enabled, words and phrases in your dictionary are automatically replaced after each transcription.",
                                "Açıkken sözlüğünüzdeki kelime ve ifadeler her transcription sonrası otomatik değiştirilir.")
            isOn: root.viewModel.dictionary.isDictionaryReplacementEnabled
            onEdited: on => root.viewModel.dictionary.setDictionaryReplacementEnabled(on)
        }
    }
}
