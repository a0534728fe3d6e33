import QtQuick
import QtQuick.Layouts
import Quorvelle

// The voice snippets: the Add Snippet form (which saves the snippet being edited while one is)
// and the saved snippets, narrowed by the search field. The form, the search and the editing id
// are the window's; every button is one of the window's actions.
ColumnLayout {
    id: root

    required property AppViewModel viewModel
    required property MainWindowState windowState
    readonly property string languageCode: viewModel.languageCode
    readonly property bool isEditing: windowState.editingSnippetID !== null
                                      && windowState.editingSnippetID !== undefined
    readonly property string exampleAddress: "jane@example.com"

    function text(english, turkish) {
        return DashboardTexts.localized(root.languageCode, english, turkish)
    }

    objectName: "snippets-page"
    spacing: 16

    SnippetSearch {
        id: search
        viewModel: root.viewModel
        query: root.windowState.snippetSearch
    }

    SurfaceCard {
        objectName: "snippets-add-card"

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 14

            UiText {
                text: root.text("Add Snippet", "Snippet Ekle")
                font.pixelSize: 18
                font.weight: Font.DemiBold
                color: DesktopTheme.colors.primaryText
            }

            UiText {
                Layout.fillWidth: true
                text: root.text("Create a short spoken phrase that expands into a longer saved text, link, address, or email.",
                                "Kısa bir sesli ifadeyi uzun hazır metne, linke, adrese veya e-postaya dönüştürün.")
                wrapMode: Text.Wrap
                color: DesktopTheme.colors.secondaryText
            }

            Rectangle {
                objectName: "snippets-tip"
                Layout.fillWidth: true
                implicitHeight: tipRow.implicitHeight + 20
                radius: 8
                color: DesktopTheme.colors.inputBackground
                border.color: DesktopTheme.colors.inputBorder
                border.width: 1

                RowLayout {
                    id: tipRow
                    anchors.fill: parent
                    anchors.leftMargin: 12
                    anchors.rightMargin: 12
                    anchors.topMargin: 10
                    anchors.bottomMargin: 10
                    spacing: 8

                    Icon {
                        Layout.alignment: Qt.AlignTop
                        Layout.topMargin: 1
                        name: "info.circle"
                        size: 13
                        color: DesktopTheme.colors.secondaryText
                    }

                    UiText {
                        Layout.fillWidth: true
                        text: root.text("Speak the phrase as a standalone command. Quorvelle expands it when the final transcript matches; punctuation and simple plural variants are tolerated.",
                                        "İfadeyi tek başına komut gibi söyleyin. Final transcript eşleştiğinde Quorvelle hazır metni ekler; noktalama ve basit çoğul farkları tolere edilir.")
                        wrapMode: Text.Wrap
                        font.pixelSize: 12
                        color: DesktopTheme.colors.secondaryText
                    }
                }
            }

            FormField {
                objectName: "snippet-phrase"
                title: root.text("SPOKEN PHRASE", "SÖYLENECEK İFADE")
                placeholder: root.text("e.g. my email address", "örn. my email address")
                text: root.windowState.snippetPhrase
                onEdited: text => root.windowState.snippetPhrase = text
            }

            UiText {
                objectName: "snippets-examples"
                Layout.fillWidth: true
                text: root.text("Examples: ", "Örnekler: ") + "my email address -> " + root.exampleAddress
                      + ", my calendar link -> cal.example.com/jane, intro email -> Hey, would love to find time to chat later."
                wrapMode: Text.Wrap
                font.pixelSize: 12
                color: DesktopTheme.colors.secondaryText
            }

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 8

                UiText {
                    text: root.text("EXPANSION", "HAZIR METİN")
                    font.pixelSize: 11
                    font.weight: Font.Bold
                    color: DesktopTheme.colors.secondaryText
                }

                ExpansionEditor {
                    objectName: "snippet-expansion"
                    placeholder: root.text("e.g. ", "örn. ") + root.exampleAddress
                    accessibleName: root.text("EXPANSION", "HAZIR METİN")
                    text: root.windowState.snippetExpansion
                    onEdited: text => root.windowState.snippetExpansion = text
                }
            }

            FormSaveButton {
                objectName: "snippet-save"
                symbolName: root.isEditing ? "tray.and.arrow.down" : "plus"
                title: root.isEditing ? root.text("Save Snippet", "Snippet Kaydet") : root.text("Add Snippet", "Snippet Ekle")
                help: root.text("When the final transcript exactly matches the spoken phrase, Quorvelle inserts the expansion instead.",
                                "Final transcript söylenecek ifadeyle tam eşleşirse Quorvelle onun yerine hazır metni ekler.")
                callback: root.windowState.saveSnippet
            }
        }
    }

    SavedListCard {
        objectName: "snippets-saved-card"
        languageCode: root.languageCode
        title: root.text("Saved Snippets", "Kayıtlı Snippets")
        count: search.count
        subtitle: root.text("Search and manage your personal voice snippets.",
                            "Kişisel sesli snippet kayıtlarınızı arayın ve yönetin.")
        searchQuery: root.windowState.snippetSearch
        searchPlaceholder: root.text("Search snippets", "Snippet ara")
        emptyMessage: root.text("No snippets saved yet. Add your first snippet above.",
                                "Henüz snippet kaydedilmedi. İlk snippet kaydınızı yukarıdan ekleyin.")
        refreshAction: root.windowState.clearSnippetSearch
        onSearchEdited: text => root.windowState.snippetSearch = text

        Repeater {
            model: search.items

            SnippetRow {
                objectName: "snippet-row-" + index
                languageCode: root.languageCode
                snippet: modelData
                editAction: function() {
                    root.windowState.editSnippet(modelData.id, modelData.phrase, modelData.expansion)
                }
                deleteAction: id => root.windowState.deleteSnippet(id)
            }
        }
    }
}
