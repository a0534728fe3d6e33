import QtQuick
import QtQuick.Controls
import Quorvelle

// The system text field in the theme's input colours. It shows `boundText`, reports every
// keystroke through `edited`, and falls back to `boundText` when the owner does not take the
// edit, so that the field never shows text its owner refused.
TextField {
    id: input

    property string boundText
    property int cornerRadius: 10
    signal edited(string text)

    // Readable like body text, and told apart from typed text by its colour.
    readonly property color promptColor: DesktopTheme.colors.secondaryText

    text: boundText
    font.family: Fonts.ui
    font.pixelSize: 14
    color: DesktopTheme.colors.primaryText
    placeholderTextColor: promptColor
    selectByMouse: true
    // Without a visible label of its own, the prompt names the field.
    Accessible.name: placeholderText

    background: Rectangle {
        radius: input.cornerRadius
        color: DesktopTheme.colors.inputBackground
        border.color: DesktopTheme.colors.controlBorder
        border.width: 1
    }

    // Text set by the owner while the user is elsewhere reads from its beginning.
    onTextChanged: {
        if (!activeFocus)
            cursorPosition = 0
    }

    onTextEdited: {
        input.edited(text)
        if (text !== boundText)
            text = Qt.binding(function() { return input.boundText })
    }
}
