import QtQuick
import Quorvelle

// One level bar of the overlay: a capsule from the accent at the top to the glow at the bottom,
// over a soft glow-coloured shadow. Even and odd positions alternate in strength. Its height
// follows `level` with a short ease-out; the delegate persists, only the height moves.
Item {
    id: root

    required property int index
    property real level
    property real minimumHeight: 8
    property real range: 40
    property color accentColor
    property color glowColor
    property real shadowRadius: 8
    property real shadowOffset: 3

    readonly property bool even: index % 2 === 0

    implicitWidth: 10
    implicitHeight: minimumHeight + range * Math.max(0, Math.min(1, level))

    Behavior on implicitHeight {
        enabled: Motion.enabled
        NumberAnimation { duration: 120; easing.type: Easing.OutCubic }
    }

    SoftShape {
        shape: SoftShape.Capsule
        padding: Math.ceil(root.shadowRadius * 1.5)
        x: -padding
        y: -padding + root.shadowOffset
        width: root.width + 2 * padding
        height: root.height + 2 * padding
        blur: root.shadowRadius / 2
        color: Qt.rgba(root.glowColor.r, root.glowColor.g, root.glowColor.b, 0.24)
    }

    Rectangle {
        anchors.fill: parent
        radius: width / 2
        gradient: Gradient {
            GradientStop {
                position: 0
                color: Qt.rgba(root.accentColor.r, root.accentColor.g, root.accentColor.b, root.even ? 0.98 : 0.82)
            }
            GradientStop {
                position: 1
                color: Qt.rgba(root.glowColor.r, root.glowColor.g, root.glowColor.b, root.even ? 0.74 : 0.54)
            }
        }
    }
}
