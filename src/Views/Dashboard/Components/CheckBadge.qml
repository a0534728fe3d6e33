import QtQuick
import Quorvelle

// The round check mark of a selected option card.
Rectangle {
    implicitWidth: 22
    implicitHeight: 22
    radius: 11
    color: DesktopTheme.colors.primaryButtonFill

    Icon {
        anchors.centerIn: parent
        name: "checkmark"
        size: 11
        font.bold: true
        color: DesktopTheme.colors.darkButtonText
    }
}
