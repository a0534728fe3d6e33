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

    // The hierarchy's alphas, each raised where a theme needs it so that text reads at 4.5:1 at
    // least on the window and on the soft fills of the cards drawn over it.
    readonly property color primary: legible(0.85, 4.5)
    readonly property color secondary: legible(0.5, 4.5)
    readonly property color tertiary: legible(0.26, 4.5)
    readonly property color quaternary: tinted(0.1)
    // The edge of a control drawn as a plain box (a check box, an unchosen segment): 3:1 at least.
    readonly property color controlOutline: legible(0.3, 3)
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

    // The text colour at `alpha`, or at the least alpha above it that stands `ratio` : 1 apart from the
    // lightest-tinted surface text sits on (the window under a quaternary fill at 0.5).
    function legible(alpha, ratio) {
        const surface = over(text, 0.05, window)
        let at = alpha
        while (at < 1 && contrast(over(text, at, surface), surface) < ratio)
            at = Math.min(1, at + 0.02)
        return tinted(at)
    }

    function over(top, alpha, bottom) {
        return Qt.rgba(top.r * alpha + bottom.r * (1 - alpha), top.g * alpha + bottom.g * (1 - alpha),
                       top.b * alpha + bottom.b * (1 - alpha), 1)
    }

    function contrast(first, second) {
        const luminance = colour => {
            const channel = v => v <= 0.03928 ? v / 12.92 : Math.pow((v + 0.055) / 1.055, 2.4)
            return 0.2126 * channel(colour.r) + 0.7152 * channel(colour.g) + 0.0722 * channel(colour.b)
        }
        const a = luminance(first)
        const b = luminance(second)
        return (Math.max(a, b) + 0.05) / (Math.min(a, b) + 0.05)
    }
}
