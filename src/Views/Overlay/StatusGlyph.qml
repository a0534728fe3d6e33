pragma ComponentBehavior: Bound
import QtQuick
import Quorvelle

// The round status mark of the overlay: a soft halo, a tinted disc with a thin ring, and the
// state's symbol, or the five level bars of the compact form while recording.
Item {
    id: root

    property string symbolName
    property color accentColor
    property color glowColor
    property bool showsLevels: false
    property list<real> levels

    implicitWidth: 48
    implicitHeight: 48

    function tint(color, alpha) {
        return Qt.rgba(color.r, color.g, color.b, alpha)
    }

    SoftShape {
        shape: SoftShape.Circle
        anchors.centerIn: parent
        padding: 18
        width: 48 + 2 * padding
        height: width
        blur: 6
        color: root.tint(root.glowColor, 0.18)
    }

    SoftShape {
        objectName: "status-glyph-disc"
        shape: SoftShape.Circle
        anchors.centerIn: parent
        width: 40
        height: 40
        color: root.tint(root.accentColor, 0.28)
        endColor: Qt.rgba(1, 1, 1, 0.06)
    }

    SoftShape {
        shape: SoftShape.Circle
        anchors.centerIn: parent
        width: 40
        height: 40
        padding: 0.4
        strokeWidth: 0.8
        color: root.tint(root.accentColor, 0.32)
    }

    Icon {
        objectName: "status-glyph-symbol"
        anchors.centerIn: parent
        visible: !root.showsLevels
        name: root.symbolName
        size: 18
        color: root.accentColor
    }

    CompactAudioWaveformGlyph {
        objectName: "status-glyph-levels"
        anchors.centerIn: parent
        visible: root.showsLevels
        levels: root.levels
        accentColor: root.accentColor
        glowColor: root.glowColor
    }
}
