import QtQuick
import QtQuick.Controls
import Quorvelle

// A push button of the popover, as wide as its title: a row of five fits the 360-wide panel.
Button {
    id: button

    implicitWidth: implicitContentWidth + leftPadding + rightPadding
    leftPadding: 10
    rightPadding: 10
    font: MenuType.body
    Accessible.name: text
    Keys.onReturnPressed: button.clicked()
    Keys.onEnterPressed: button.clicked()
}
