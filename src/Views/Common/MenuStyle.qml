pragma Singleton
import QtQuick
import Quorvelle

// The hierarchical colours of the popover and the sheets, taken from the chosen desktop theme so
// that they match the dashboard. X11 has no translucent materials, so backgrounds are plain.
QtObject {
    id: style

    readonly property var theme: DesktopTheme.colors

    readonly property color window: theme.canvas
    readonly property bool dark: window.hslLightness < 0.5
    readonly property color text: theme.primaryText

    readonly property color primary: tinted(0.85)
    readonly property color secondary: tinted(0.5)
    readonly property color tertiary: tinted(0.26)
    readonly property color quaternary: tinted(0.1)
    // The keyboard focus ring: a warm outline, unlike the filled blue of a prominent button.
    readonly property color focusRing: theme.warmText

    // The label of a segment on its face (SegmentFill), chosen or not.
    function segmentText(selected) {
        return selected ? theme.darkButtonText : text
    }

    // The quaternary fill drawn at a further opacity, as the design's ".quaternary.opacity(x)".
    function quaternaryFill(opacity) {
        return tinted(0.1 * opacity)
    }

    function tinted(alpha) {
        return Qt.rgba(text.r, text.g, text.b, alpha)
    }
}
