pragma ComponentBehavior: Bound
import QtQuick
import Quorvelle

// The full pill's level row: one bar per display level (already scaled), rising from the bottom
// of a 48-high row, 8 high at silence and 48 at full level.
Item {
    id: root

    required property list<real> levels
    property color accentColor
    property color glowColor

    implicitWidth: row.width
    implicitHeight: 48
    Accessible.ignored: true

    Row {
        id: row
        height: 48
        spacing: 5

        Repeater {
            model: root.levels.length

            LevelBar {
                level: root.levels[index] ?? 0
                y: row.height - height
                width: 10
                height: implicitHeight
                accentColor: root.accentColor
                glowColor: root.glowColor
            }
        }
    }
}
