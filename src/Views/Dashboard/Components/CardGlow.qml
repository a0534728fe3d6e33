import QtQuick
import Quorvelle

// The soft glow around a selected card: the card's rounded shape, blurred, drawn beneath it.
// Place it as a child of the card and give it the card's corner radius; `glowRadius` is the
// design's shadow radius.
SoftShape {
    property real glowRadius: 14

    z: -1
    anchors.fill: parent
    anchors.margins: -padding
    padding: Math.ceil(glowRadius * 1.5)
    blur: glowRadius / 2
}
