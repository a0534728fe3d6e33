import QtQuick
import QtQuick.Templates as T
import Quorvelle

// What the dashboard's push buttons share: no system chrome, a size taken from the label and
// its padding, and one call of `action` per click.
T.AbstractButton {
    id: root

    property string title
    property var action: null

    implicitWidth: Math.max(implicitBackgroundWidth + leftInset + rightInset,
                            implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: Math.max(implicitBackgroundHeight + topInset + bottomInset,
                             implicitContentHeight + topPadding + bottomPadding)
    padding: 0
    focusPolicy: Qt.TabFocus
    Accessible.name: title

    onClicked: {
        if (typeof root.action === "function")
            root.action()
    }
}
