pragma Singleton
import QtQuick
import Quorvelle

// The text styles of the menu-bar views, at the platform's usual sizes, in logical pixels.
QtObject {
    readonly property font headline: Qt.font({ family: Fonts.ui, pixelSize: 13, weight: Font.Bold })
    readonly property font title3: Qt.font({ family: Fonts.ui, pixelSize: 15 })
    readonly property font body: Qt.font({ family: Fonts.ui, pixelSize: 13 })
    readonly property font subheadline: Qt.font({ family: Fonts.ui, pixelSize: 11 })
    readonly property font caption: Qt.font({ family: Fonts.ui, pixelSize: 10 })
    readonly property font caption2: Qt.font({ family: Fonts.ui, pixelSize: 10 })
    readonly property font monospaced: Qt.font({ family: Fonts.mono, pixelSize: 13 })
}
