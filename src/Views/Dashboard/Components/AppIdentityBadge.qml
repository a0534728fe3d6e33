import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quorvelle

// The sidebar footer's capsule naming the backend profile of the build. Up to 150 wide; a long
// label first shrinks, then is cut short.
Rectangle {
    id: root

    property string label
    property int status: AppIdentityStatus.Production
    property string helpText
    readonly property int maximumWidth: 150

    readonly property var theme: DesktopTheme.colors
    readonly property color dotColor: status === AppIdentityStatus.Local ? theme.warmText
        : status === AppIdentityStatus.Custom ? theme.primaryButtonFill : theme.successText
    readonly property color textColor: status === AppIdentityStatus.Local ? theme.warmText
        : status === AppIdentityStatus.Custom ? theme.primaryText : theme.successText
    readonly property color fillColor: status === AppIdentityStatus.Local ? withAlpha(theme.warmBackground, 0.86)
        : status === AppIdentityStatus.Custom ? withAlpha(theme.headerIconBackground, 0.82)
        : withAlpha(theme.successBackground, 0.82)
    readonly property color strokeColor: status === AppIdentityStatus.Local ? withAlpha(theme.warmText, 0.38)
        : status === AppIdentityStatus.Custom ? withAlpha(theme.primaryButtonFill, 0.36)
        : withAlpha(theme.successText, 0.34)

    function withAlpha(c, alpha) {
        return Qt.rgba(c.r, c.g, c.b, c.a * alpha)
    }

    Layout.fillWidth: true
    Layout.maximumWidth: maximumWidth
    implicitWidth: maximumWidth
    implicitHeight: Math.max(dot.height, labelText.implicitHeight) + 8
    radius: height / 2
    color: fillColor
    border.color: strokeColor
    border.width: 1
    Accessible.name: label

    ToolTip.text: helpText
    ToolTip.visible: hover.hovered && helpText.length > 0

    HoverHandler {
        id: hover
    }

    Row {
        anchors.left: parent.left
        anchors.leftMargin: 7
        anchors.verticalCenter: parent.verticalCenter
        spacing: 5

        Rectangle {
            id: dot
            anchors.verticalCenter: parent.verticalCenter
            width: 6
            height: 6
            radius: 3
            color: root.dotColor
        }

        UiText {
            id: labelText
            anchors.verticalCenter: parent.verticalCenter
            width: Math.min(implicitWidth, root.width - 14 - dot.width - 5)
            text: root.label
            color: root.textColor
            font.pixelSize: 9
            font.weight: Font.DemiBold
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 7
            maximumLineCount: 1
            elide: Text.ElideRight
        }
    }
}
