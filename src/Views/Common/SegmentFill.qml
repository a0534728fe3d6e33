import QtQuick
import Quorvelle

// The face of one segment of a segmented choice in the popover: the chosen one in the theme's
// prominent colour, the others in the card colour, at least 3:1 apart in every theme so that the
// choice shows without reading the labels; the others are outlined at 3:1 on the window, so that
// each shows as a control.
Rectangle {
    required property bool selected
    property bool down: false

    implicitWidth: 60
    implicitHeight: 24
    radius: 5
    color: selected ? MenuStyle.theme.primaryButtonFill : MenuStyle.theme.cardFill
    border.width: 1
    border.color: selected ? MenuStyle.theme.primaryButtonFill : MenuStyle.controlOutline
    opacity: down ? 0.8 : 1
}
