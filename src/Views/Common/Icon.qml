import QtQuick
import Quorvelle

// A symbol of the design, drawn with its Material Icons glyph. `size` is the design's point
// size; the glyphs sit a little small in their em box, hence the 1.15.
Text {
    id: root

    property string name
    property real size: 13

    text: Symbols.glyph(name)
    color: "black"
    font.family: Fonts.icons
    font.pixelSize: Math.round(size * 1.15)
    textFormat: Text.PlainText
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    Accessible.ignored: true
}
