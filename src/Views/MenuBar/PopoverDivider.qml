import QtQuick
import QtQuick.Layouts
import Quorvelle

// The thin line between a panel's header and its content.
Rectangle {
    Layout.fillWidth: true
    implicitHeight: 1
    color: MenuStyle.quaternaryFill(2)
}
