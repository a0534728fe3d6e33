pragma Singleton
import QtQuick

// The hierarchical colours of the menu-bar views, taken from the window palette. X11 has no
// translucent materials, so backgrounds are the plain window colour.
QtObject {
    id: style

    readonly property SystemPalette palette: SystemPalette { colorGroup: SystemPalette.Active }

    readonly property color window: palette.window
    // Qt 6.4 has no colour-scheme hint; a dark window means a dark scheme.
    readonly property bool dark: palette.window.hslLightness < 0.5
    readonly property color text: palette.windowText

    readonly property color primary: tinted(0.85)
    readonly property color secondary: tinted(0.5)
    readonly property color tertiary: tinted(0.26)
    readonly property color quaternary: tinted(0.1)

    // The quaternary fill drawn at a further opacity, as the design's ".quaternary.opacity(x)".
    function quaternaryFill(opacity) {
        return tinted(0.1 * opacity)
    }

    function tinted(alpha) {
        return Qt.rgba(text.r, text.g, text.b, alpha)
    }
}
