import QtQuick
import Quorvelle

// The product mark: a blue square behind a tilted amber one. The front square reaches past the
// frame on purpose; the frame is what the layout sees.
Item {
    id: root

    property bool compact: false
    readonly property int side: compact ? 12 : 24
    readonly property int cornerRadius: compact ? 4 : 8

    implicitWidth: compact ? 22 : 30
    implicitHeight: compact ? 16 : 24

    SoftShape {
        objectName: "back-square"
        anchors.centerIn: parent
        anchors.horizontalCenterOffset: root.compact ? -3 : -5
        width: root.side
        height: root.side
        cornerRadius: root.cornerRadius
        color: Qt.rgba(0.09, 0.70, 1.00, 1)
        endColor: Qt.rgba(0.09, 0.30, 0.96, 1)
    }

    SoftShape {
        objectName: "front-square"
        anchors.centerIn: parent
        anchors.horizontalCenterOffset: root.compact ? 4 : 7
        width: root.side
        height: root.side
        rotation: 24
        cornerRadius: root.cornerRadius
        color: Qt.rgba(1.00, 0.83, 0.20, 1)
        endColor: Qt.rgba(1.00, 0.62, 0.14, 1)
    }
}
