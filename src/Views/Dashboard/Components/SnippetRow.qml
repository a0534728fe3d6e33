import QtQuick
import QtQuick.Layouts
import Quorvelle

// One saved voice snippet on one line: "phrase → expansion preview". `snippet` is
// { id, phrase, expansion }; Edit and Delete call their action with the snippet's id.
SavedItemRow {
    id: root

    property var snippet: ({ id: "", phrase: "", expansion: "" })

    itemId: snippet.id
    subject: snippet.phrase

    UiText {
        objectName: "snippet-line"
        Layout.fillWidth: true
        text: root.snippet.phrase + " → " + DashboardTexts.snippetExpansionPreview(root.snippet.expansion)
        maximumLineCount: 1
        elide: Text.ElideRight
        font.pixelSize: 14
        font.weight: Font.Medium
        color: DesktopTheme.colors.primaryText
    }
}
