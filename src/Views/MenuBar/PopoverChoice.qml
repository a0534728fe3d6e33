import QtQuick
import QtQuick.Templates as T
import Quorvelle

// One of a few exclusive choices in the popover (the transcription mode, the recording mode),
// drawn as a segment and read by a screen reader as a radio button, checked while chosen. A click,
// Space or Return asks the owner through `choose`; what shows as chosen is only ever `isSelected`,
// so a refused choice changes nothing.
T.RadioButton {
    id: choice

    required property bool isSelected
    signal choose()

    implicitWidth: Math.ceil(implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: Math.ceil(Math.max(implicitBackgroundHeight, implicitContentHeight + topPadding + bottomPadding))
    leftPadding: 10
    rightPadding: 10
    topPadding: 4
    bottomPadding: 4
    font: MenuType.body
    indicator: null
    autoExclusive: false
    checked: isSelected
    Accessible.name: text
    Accessible.selectable: true
    Accessible.selected: isSelected
    Keys.onReturnPressed: choice.clicked()
    Keys.onEnterPressed: choice.clicked()
    onClicked: {
        choice.checked = Qt.binding(() => choice.isSelected)
        choice.choose()
    }

    contentItem: UiText {
        text: choice.text
        font: choice.font
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        color: MenuStyle.segmentText(choice.isSelected)
        Accessible.ignored: true
    }

    background: SegmentFill {
        selected: choice.isSelected
        down: choice.down
    }
}
