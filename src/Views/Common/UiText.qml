import QtQuick
import Quorvelle

// Text in the pinned UI family. Always plain: the texts shown are the user's own words and
// fixed strings, never markup.
Text {
    font.family: Fonts.ui
    font.pixelSize: 13
    textFormat: Text.PlainText
    // Screen readers read what the text says, as a label.
    Accessible.role: Accessible.StaticText
    Accessible.name: text
    Accessible.focusable: false
}
