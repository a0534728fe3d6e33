import QtQuick
import QtQuick.Layouts
import Quorvelle

// The 224-wide filter input above saved-entry lists. The query belongs to the owner: bind
// `text` and take each keystroke from `edited`.
Item {
    id: root

    property string text
    property string placeholder
    signal edited(string text)

    implicitWidth: 224
    implicitHeight: input.implicitHeight
    Layout.preferredWidth: 224
    Layout.fillWidth: false

    FieldInput {
        id: input
        objectName: "search-field-input"
        anchors.fill: parent
        boundText: root.text
        placeholderText: root.placeholder
        leftPadding: 14
        rightPadding: 14
        topPadding: 10
        bottomPadding: 10
        onEdited: text => root.edited(text)
    }
}
