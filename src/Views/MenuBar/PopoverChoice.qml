import QtQuick
import QtQuick.Controls
import Quorvelle

// One of a few exclusive choices in the popover (the transcription mode, the recording mode),
// drawn as a segment and read by a screen reader as a radio button. A click asks the owner through
// `choose`; what shows as chosen is only ever `isSelected`, so a refused choice changes nothing.
PopoverButton {
    id: choice

    required property bool isSelected
    signal choose()

    // Checked mirrors the choice, for the keyboard and for screen readers; a click never flips it.
    checkable: true
    checked: isSelected
    palette.buttonText: MenuStyle.segmentText(isSelected)
    background: SegmentFill {
        selected: choice.isSelected
        down: choice.down
    }
    Accessible.role: Accessible.RadioButton
    Accessible.checkable: true
    Accessible.checked: isSelected
    Accessible.selectable: true
    Accessible.selected: isSelected
    onClicked: {
        choice.checked = Qt.binding(() => choice.isSelected)
        choice.choose()
    }
}
