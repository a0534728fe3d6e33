pragma ComponentBehavior: Bound
import QtQuick
import Quorvelle

// Five small level bars inside the compact glyph while recording; the levels come scaled and
// already raised to their resting arch.
Item {
    id: root

    required property list<real> levels
    property color accentColor
    property color glowColor

    implicitWidth: 28
    implicitHeight: 24
    Accessible.ignored: true

    Row {
        anchors.centerIn: parent
        spacing: 2.5

        Repeater {
            model: root.levels.length

            LevelBar {
                level: root.levels[index] ?? 0
                anchors.verticalCenter: parent ? parent.verticalCenter : undefined
                width: 3.5
                height: implicitHeight
                minimumHeight: 5
                range: 15
                shadowRadius: 5
                shadowOffset: 2
                accentColor: root.accentColor
                glowColor: root.glowColor
            }
        }
    }
}
