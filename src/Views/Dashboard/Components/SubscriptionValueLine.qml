import QtQuick
import QtQuick.Layouts
import Quorvelle

// A title on the left and its value on the right, in one line; a long value loses its middle.
RowLayout {
    id: root

    property string title
    property string value
    // The value's colour; null draws it in the primary text colour.
    property var accent: null

    Layout.fillWidth: true

    UiText {
        objectName: "value-line-title"
        text: root.title
        font.pixelSize: 14
        color: DesktopTheme.colors.secondaryText
    }

    Item {
        Layout.fillWidth: true
    }

    UiText {
        objectName: "value-line-value"
        Layout.maximumWidth: root.width * 0.7
        text: root.value
        elide: Text.ElideMiddle
        maximumLineCount: 1
        font.pixelSize: 14
        font.weight: Font.Medium
        color: root.accent !== null && root.accent !== undefined ? root.accent : DesktopTheme.colors.primaryText
    }
}
