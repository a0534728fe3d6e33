import QtQuick
import QtQuick.Templates as T
import Quorvelle

// A dashboard button that is one choice of several (a card, a row, a segment): drawn and clicked
// like the push buttons, read by screen readers as a radio button, selected while `isSelected`.
// The owner keeps the selection: a click calls `callback` and the mark follows `isSelected` only.
T.RadioButton {
    id: root

    property string title
    property var callback: null
    property bool isSelected: false

    implicitWidth: Math.ceil(Math.max(implicitBackgroundWidth + leftInset + rightInset,
                                      implicitContentWidth + leftPadding + rightPadding))
    implicitHeight: Math.ceil(Math.max(implicitBackgroundHeight + topInset + bottomInset,
                                       implicitContentHeight + topPadding + bottomPadding))
    padding: 0
    spacing: 0
    indicator: null
    focusPolicy: Qt.TabFocus
    autoExclusive: false
    checked: isSelected
    Accessible.name: title
    Accessible.selectable: true
    Accessible.selected: isSelected
    Keys.onReturnPressed: root.clicked()
    Keys.onEnterPressed: root.clicked()

    onClicked: {
        root.checked = Qt.binding(() => root.isSelected)
        if (typeof root.callback === "function")
            root.callback()
    }
}
