import QtQuick
import QtQuick.Layouts
import Quorvelle

// The personal dictionary: the Add Term form (which saves the entry being edited while one is)
// and the saved terms, narrowed by the search field. The form, the search and the editing id are
// the window's; every button is one of the window's actions.
ColumnLayout {
    id: root

    required property AppViewModel viewModel
    required property MainWindowState windowState
    readonly property string languageCode: viewModel.languageCode
    readonly property bool isEditing: windowState.editingDictionaryEntryID !== null
                                      && windowState.editingDictionaryEntryID !== undefined

    function text(english, turkish) {
        return DashboardTexts.localized(root.languageCode, english, turkish)
    }

    objectName: "dictionary-page"
    spacing: 16

    DictionaryEntrySearch {
        id: search
        viewModel: root.viewModel
        query: root.windowState.dictionarySearch
    }

    SurfaceCard {
        objectName: "dictionary-add-card"

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 14

            UiText {
                text: root.text("Add Term", "Terim Ekle")
                font.pixelSize: 18
                font.weight: Font.DemiBold
                color: DesktopTheme.colors.primaryText
            }

            UiText {
                Layout.fillWidth: true
                text: root.text("Add an original phrase and choose how Quorvelle should output it.",
                                "Orijinal ifadeyi ekleyin ve Quorvelle'in bunu nasıl yazacağını seçin.")
                wrapMode: Text.Wrap
                color: DesktopTheme.colors.secondaryText
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 12

                FormField {
                    objectName: "dictionary-original"
                    Layout.preferredWidth: 1
                    title: root.text("ORIGINAL TERM", "ORİJİNAL TERİM")
                    placeholder: root.text("e.g. web hook", "örn. web hook")
                    text: root.windowState.dictionaryOriginalTerm
                    onEdited: text => root.windowState.dictionaryOriginalTerm = text
                }

                FormField {
                    objectName: "dictionary-replacement"
                    Layout.preferredWidth: 1
                    title: root.text("REPLACEMENT", "DEĞİŞİM")
                    placeholder: root.text("e.g. WebHook", "örn. WebHook")
                    text: root.windowState.dictionaryReplacement
                    onEdited: text => root.windowState.dictionaryReplacement = text
                }
            }

            FormField {
                objectName: "dictionary-category"
                title: root.text("CATEGORY (OPTIONAL)", "KATEGORİ (OPSİYONEL)")
                placeholder: root.text("e.g. product, team, acronym", "örn. ürün, ekip, kısaltma")
                text: root.windowState.dictionaryCategory
                onEdited: text => root.windowState.dictionaryCategory = text
            }

            FormSaveButton {
                objectName: "dictionary-save"
                symbolName: root.isEditing ? "tray.and.arrow.down" : "plus"
                title: root.isEditing ? root.text("Save Changes", "Değişiklikleri Kaydet")
                                      : root.text("Add Term", "Terim Ekle")
                callback: root.windowState.saveDictionaryEntry
            }

            UiText {
                Layout.fillWidth: true
                text: root.text("Dictionary matching uses Original Term -> Replacement pairs. Category is only for organizing and search.",
                                "Sözlük eşleşmesi Orijinal Terim -> Değişim çiftleriyle çalışır. Kategori yalnızca düzenleme ve arama içindir.")
                wrapMode: Text.Wrap
                font.pixelSize: 12
                color: DesktopTheme.colors.secondaryText
            }
        }
    }

    SavedListCard {
        objectName: "dictionary-saved-card"
        languageCode: root.languageCode
        title: root.text("Saved Terms", "Kayıtlı Terimler")
        count: search.count
        subtitle: root.text("Search and manage existing dictionary entries.",
                            "Mevcut sözlük kayıtlarını arayın ve yönetin.")
        searchQuery: root.windowState.dictionarySearch
        searchPlaceholder: root.text("Search terms", "Terim ara")
        emptyMessage: root.text("No terms saved yet. Add your first dictionary entry above.",
                                "Henüz terim kaydedilmedi. İlk sözlük kaydınızı yukarıdan ekleyin.")
        refreshAction: root.windowState.clearDictionarySearch
        onSearchEdited: text => root.windowState.dictionarySearch = text

        Repeater {
            model: search.items

            DictionaryEntryRow {
                objectName: "dictionary-row-" + index
                languageCode: root.languageCode
                entry: modelData
                editAction: function() {
                    root.windowState.editDictionaryEntry(modelData.id, modelData.original, modelData.replacement,
                                                         modelData.category)
                }
                deleteAction: id => root.windowState.deleteDictionaryEntry(id)
            }
        }
    }
}
