import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quorvelle

// The spoken language: what is in force, automatic or fixed, and a searchable list to change it.
SurfaceCard {
    id: root

    required property AppViewModel viewModel
    required property SettingsPageModel page
    readonly property bool turkish: viewModel.languageCode === "tr"

    function text(english, turkish) {
        return root.turkish ? turkish : english
    }

    objectName: "settings-transcription-language"

    ColumnLayout {
        Layout.fillWidth: true
        spacing: 16

        SectionHeading {
            symbolName: "globe"
            title: root.text("Transcription Language", "Transcription Dili")
            subtitle: root.text("Choose how speech language detection works for cloud and local transcription.",
                                "Bulut ve yerel transcription için konuşma dili algılamasının nasıl çalışacağını seçin.")
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 12

            CompactInfoCard {
                objectName: "settings-language-selected"
                Layout.alignment: Qt.AlignTop
                eyebrow: root.text("SELECTED", "SEÇİLİ")
                value: root.page.selectedLanguageTitle
            }
            CompactInfoCard {
                objectName: "settings-language-mode"
                Layout.alignment: Qt.AlignTop
                eyebrow: root.text("MODE", "MOD")
                value: root.page.isLanguageAutomatic ? root.text("Auto-detect", "Otomatik algılama")
                                                     : root.text("Fixed language", "Sabit dil")
            }
        }

        UiText {
            Layout.fillWidth: true
            text: root.text("Keep Auto for mixed-language dictation. Lock the language only when you mostly dictate in one language and want better accuracy and latency.",
                            "Karışık dilli dikte için Otomatik'i kullanın. Çoğunlukla tek dilde dikte ediyorsanız daha iyi doğruluk ve gecikme için dili sabitleyin.")
            wrapMode: Text.Wrap
            color: DesktopTheme.colors.secondaryText
        }

        SearchField {
            objectName: "settings-language-search"
            text: root.page.languageSearchQuery
            placeholder: root.text("Search languages", "Dil ara")
            onEdited: query => root.page.languageSearchQuery = query
        }

        // Only the rows in view are made: the list holds a hundred languages.
        ListView {
            id: list
            objectName: "settings-language-list"
            Layout.fillWidth: true
            Layout.preferredHeight: Math.min(contentHeight, 220)
            clip: true
            spacing: 10
            boundsBehavior: Flickable.StopAtBounds
            model: root.page.languageRows
            ScrollBar.vertical: ScrollBar {
                policy: list.contentHeight > list.height ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
                Accessible.name: root.text("Languages", "Diller")
            }

            NestedWheelArea {
                objectName: "settings-language-wheel"
                parent: list
                anchors.fill: parent
                z: 1
                list: list
                // Searching or moving by the keyboard in it, the user is choosing from the list.
                engaged: list.activeFocus || root.page.languageSearchQuery.length > 0
            }

            delegate: TranscriptionLanguageRow {
                required property var modelData
                objectName: "settings-language-row-" + modelData.id
                width: list.width - 4
                option: ({ code: modelData.code === undefined ? null : modelData.code, name: modelData.name })
                languageCode: root.viewModel.languageCode
                isSelected: modelData.id === root.page.selectedLanguageID
                callback: () => root.page.selectLanguage(modelData.id)
            }
        }
    }
}
