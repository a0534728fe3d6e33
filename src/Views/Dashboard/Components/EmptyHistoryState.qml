import QtQuick
import QtQuick.Layouts
import Quorvelle

// The card shown in place of an empty history list, with the page's message.
SurfaceCard {
    id: root

    property string message

    UiText {
        objectName: "empty-history-message"
        Layout.fillWidth: true
        text: root.message
        wrapMode: Text.Wrap
        font.pixelSize: 14
        color: DesktopTheme.colors.secondaryText
    }
}
