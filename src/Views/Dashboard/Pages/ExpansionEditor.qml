import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quorvelle

// The snippet form's multi-line expansion box: at least 118 high, with its placeholder shown
// while the text is empty (a single space hides it). The text belongs to the owner: bind `text`
// and take each change from `edited`.
Rectangle {
    id: root

    property string text
    property string placeholder
    // The visible label above the box, read out as its name.
    property string accessibleName: placeholder
    signal edited(string text)

    Layout.fillWidth: true
    implicitHeight: Math.max(118, editor.implicitHeight) + 24
    radius: 10
    color: DesktopTheme.colors.inputBackground
    border.color: DesktopTheme.colors.controlBorder
    border.width: 1

    UiText {
        objectName: "expansion-placeholder"
        x: 17
        y: 20
        width: parent.width - 34
        visible: root.text.length === 0
        text: root.placeholder
        font.pixelSize: 14
        color: DesktopTheme.colors.secondaryText
    }

    TextArea {
        id: editor
        objectName: "expansion-editor"
        anchors.fill: parent
        anchors.margins: 12
        Accessible.role: Accessible.EditableText
        Accessible.name: root.accessibleName
        Accessible.description: root.placeholder
        // Tab moves on, as everywhere else in the window, rather than typing a tab character.
        Keys.onTabPressed: nextItemInFocusChain(true).forceActiveFocus(Qt.TabFocusReason)
        Keys.onBacktabPressed: nextItemInFocusChain(false).forceActiveFocus(Qt.BacktabFocusReason)
        text: root.text
        wrapMode: TextEdit.Wrap
        selectByMouse: true
        font.family: Fonts.ui
        font.pixelSize: 14
        color: DesktopTheme.colors.primaryText
        background: null

        onTextChanged: {
            if (text !== root.text)
                root.edited(text)
        }
    }
}
