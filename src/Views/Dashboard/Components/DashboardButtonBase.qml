import QtQuick
import QtQuick.Templates as T
import Quorvelle

// What the dashboard's push buttons share: no system chrome, a size taken from the label and
// its padding, and one call of `callback` per click (`action` is taken by the Controls button).
T.AbstractButton {
    id: root

    property string title
    property var callback: null

    // Whole pixels, so that borders stay crisp wherever a row places the button.
    implicitWidth: Math.ceil(Math.max(implicitBackgroundWidth + leftInset + rightInset,
                                      implicitContentWidth + leftPadding + rightPadding))
    implicitHeight: Math.ceil(Math.max(implicitBackgroundHeight + topInset + bottomInset,
                                       implicitContentHeight + topPadding + bottomPadding))
    padding: 0
    focusPolicy: Qt.TabFocus
    Accessible.name: title
    // Return works a button like Space, as the keyboard user expects.
    Keys.onReturnPressed: root.clicked()
    Keys.onEnterPressed: root.clicked()

    onClicked: {
        if (typeof root.callback === "function")
            root.callback()
    }
}
