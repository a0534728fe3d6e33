import QtQuick
import QtQuick.Layouts
import Quorvelle

// One finished dictation: the transcript, its metadata pills and a button that opens an inline
// form to add a term of it to the dictionary. `entry` is the row's display model
// { id, transcript, timestampLabel, wordCountLabel, durationLabel, completionKindLabel,
// dictionaryActionTitle }. A saved pair goes to `saveToDictionaryAction(original, replacement)`,
// trimmed; the page stores it.
SurfaceCard {
    id: root

    property string languageCode: "en"
    property var entry: ({ id: "", transcript: "", timestampLabel: "", wordCountLabel: "", durationLabel: "",
                          completionKindLabel: "", dictionaryActionTitle: "" })
    property var saveToDictionaryAction: null

    // The form's own state; the original term survives closing the form, so the next opening
    // shows what the user left there rather than the transcript again.
    property bool isQuickDictionaryAddVisible: false
    property string originalTerm
    property string replacementTerm

    function openQuickDictionaryAdd() {
        if (originalTerm.length === 0)
            originalTerm = entry.transcript
        isQuickDictionaryAddVisible = true
    }

    function saveQuickDictionaryAdd() {
        const original = DashboardTexts.trimmedTerm(originalTerm)
        const replacement = DashboardTexts.trimmedTerm(replacementTerm)
        if (original.length === 0 || replacement.length === 0)
            return
        if (typeof root.saveToDictionaryAction === "function")
            root.saveToDictionaryAction(original, replacement)
        replacementTerm = ""
        isQuickDictionaryAddVisible = false
    }

    function cancelQuickDictionaryAdd() {
        replacementTerm = ""
        isQuickDictionaryAddVisible = false
    }

    ColumnLayout {
        Layout.fillWidth: true
        Layout.topMargin: 2
        Layout.bottomMargin: 2
        spacing: 18

        UiText {
            objectName: "history-transcript"
            Layout.fillWidth: true
            text: root.entry.transcript
            wrapMode: Text.Wrap
            font.pixelSize: 14
            color: DesktopTheme.colors.primaryText
        }

        RowLayout {
            spacing: 10

            MetadataPill {
                objectName: "history-timestamp"
                title: root.entry.timestampLabel
            }

            MetadataPill {
                objectName: "history-word-count"
                title: root.entry.wordCountLabel
            }

            MetadataPill {
                objectName: "history-duration"
                title: root.entry.durationLabel
            }

            MetadataPill {
                objectName: "history-completion-kind"
                title: root.entry.completionKindLabel
            }

            DashboardButtonBase {
                id: dictionaryButton
                objectName: "history-dictionary-button"
                title: root.entry.dictionaryActionTitle
                Accessible.description: DashboardTexts.buttonDescription(root.languageCode, title, root.entry.transcript)
                callback: root.openQuickDictionaryAdd

                contentItem: MetadataPill {
                    title: dictionaryButton.title
                    symbolName: "doc.text"
                }
            }
        }

        QuickDictionaryAddCard {
            objectName: "quick-dictionary-add"
            Layout.fillWidth: true
            visible: root.isQuickDictionaryAddVisible
            languageCode: root.languageCode
            originalTerm: root.originalTerm
            replacementTerm: root.replacementTerm
            saveAction: root.saveQuickDictionaryAdd
            cancelAction: root.cancelQuickDictionaryAdd
            onOriginalTermEdited: text => root.originalTerm = text
            onReplacementTermEdited: text => root.replacementTerm = text
        }
    }
}
