import QtQuick
import QtQuick.Layouts
import Quorvelle

// A captioned single-line input of the dictionary and snippet forms. The text belongs to the
// owner: bind `text` and take each keystroke from `edited`.
ColumnLayout {
    id: root

    property string title
    property string placeholder
    property string text
    signal edited(string text)

    Layout.fillWidth: true
    spacing: 8

    UiText {
        text: root.title
        font.pixelSize: 11
        font.weight: Font.Medium
        font.letterSpacing: 2
        color: DesktopTheme.colors.secondaryText
    }

    FieldInput {
        objectName: "form-field-input"
        Layout.fillWidth: true
        boundText: root.text
        placeholderText: root.placeholder
        Accessible.name: root.title
        leftPadding: 16
        rightPadding: 16
        topPadding: 12
        bottomPadding: 12
        onEdited: text => root.edited(text)
    }
}
