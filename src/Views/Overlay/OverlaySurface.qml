import QtQuick
import Quorvelle

// The body of the overlay in both forms: two soft shadows (one in the glow colour, one black),
// the diagonal surface, its top sheen and a thin border in the accent.
Item {
    id: root

    required property runtimeOverlayTheme theme
    property real cornerRadius: 24
    property real glowShadowRadius: 26
    property real glowShadowOffset: 10
    property real blackShadowOpacity: 0.35
    property real blackShadowRadius: 18
    property real blackShadowOffset: 12

    // Placed in the surface, whose size and corners it takes.
    component Shadow: SoftShape {
        property real radius
        property real offset
        padding: Math.ceil(radius * 1.5)
        x: -padding
        y: -padding + offset
        width: (parent ? parent.width : 0) + 2 * padding
        height: (parent ? parent.height : 0) + 2 * padding
        blur: radius / 2
    }

    Shadow {
        cornerRadius: root.cornerRadius
        radius: root.glowShadowRadius
        offset: root.glowShadowOffset
        color: Qt.rgba(root.theme.glow.r, root.theme.glow.g, root.theme.glow.b, 0.24)
    }

    Shadow {
        cornerRadius: root.cornerRadius
        radius: root.blackShadowRadius
        offset: root.blackShadowOffset
        color: Qt.rgba(0, 0, 0, root.blackShadowOpacity)
    }

    SoftShape {
        objectName: "overlay-surface"
        anchors.fill: parent
        cornerRadius: root.cornerRadius
        color: root.theme.surfaceGradientStart
        endColor: root.theme.surfaceGradientEnd
    }

    Rectangle {
        anchors.fill: parent
        radius: root.cornerRadius
        gradient: Gradient {
            GradientStop { position: 0; color: root.theme.surfaceHighlightTop }
            // Clear in the same hue, so the fade does not pass through grey.
            GradientStop {
                position: 0.5
                color: Qt.rgba(root.theme.surfaceHighlightTop.r, root.theme.surfaceHighlightTop.g,
                               root.theme.surfaceHighlightTop.b, 0)
            }
        }
    }

    Rectangle {
        anchors.fill: parent
        radius: root.cornerRadius
        color: "transparent"
        border.width: 1
        border.color: root.theme.borderColor
    }
}
