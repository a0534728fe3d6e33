import QtQuick
import QtQuick.Controls
import Quorvelle

// The editor of the instructions draft. Every edit is written to the view model cut to its first
// 2000 characters, so a paste or a keystroke beyond the limit loses the text's tail, wherever it
// was typed; the editor then shows the cut text with the cursor where it was. A draft changed
// elsewhere (a preset, Save, Reset) replaces the editor's text.
Rectangle {
    id: root

    required property QtObject preferences
    property string accessibleName
    readonly property alias textArea: area

    implicitHeight: Math.max(182, area.implicitHeight + 24)
    radius: 10
    color: DesktopTheme.colors.inputBackground
    border.color: DesktopTheme.colors.controlBorder
    border.width: 1

    TextArea {
        id: area

        objectName: "instructions-text"
        anchors.fill: parent
        anchors.margins: 12
        padding: 0
        background: null
        wrapMode: TextEdit.Wrap
        textFormat: TextEdit.PlainText
        selectByMouse: true
        font.family: Fonts.ui
        font.pixelSize: 14
        color: DesktopTheme.colors.primaryText
        Accessible.name: root.accessibleName
        // Tab moves on, as everywhere else in the window, rather than typing a tab character.
        Keys.onTabPressed: nextItemInFocusChain(true).forceActiveFocus(Qt.TabFocusReason)
        Keys.onBacktabPressed: nextItemInFocusChain(false).forceActiveFocus(Qt.BacktabFocusReason)
        Component.onCompleted: text = root.preferences.customInstructionsDraft

        // Setting the cut text comes back here once more, and that second pass writes the draft.
        onTextChanged: {
            const cut = InstructionsPageRules.limited(text)
            if (cut !== text) {
                const cursor = Math.min(cursorPosition, cut.length)
                text = cut
                cursorPosition = cursor
                return
            }
            root.preferences.customInstructionsDraft = text
        }
    }

    Connections {
        target: root.preferences

        function onCustomInstructionsDraftChanged() {
            if (area.text !== root.preferences.customInstructionsDraft)
                area.text = root.preferences.customInstructionsDraft
        }
    }
}
