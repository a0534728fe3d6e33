import QtQuick
import QtQuick.Layouts
import Quorvelle

// One step of the setup screen: a title with its status badge, an optional description and the
// step's own controls, on a soft rounded fill.
Rectangle {
    id: card

    required property string title
    property string description
    property string badgeLabel
    property bool ready
    default property alias content: body.data

    Layout.fillWidth: true
    implicitHeight: column.implicitHeight + 28
    radius: 12
    color: MenuStyle.quaternaryFill(0.45)

    ColumnLayout {
        id: column
        x: 14
        y: 14
        width: card.width - 28
        spacing: 10

        RowLayout {
            Layout.fillWidth: true

            UiText {
                objectName: card.objectName + "-title"
                text: card.title
                font: MenuType.headline
                color: MenuStyle.text
            }

            Item {
                Layout.fillWidth: true
            }

            SetupStatusBadge {
                objectName: card.objectName + "-badge"
                label: card.badgeLabel
                ready: card.ready
            }
        }

        UiText {
            objectName: card.objectName + "-description"
            Layout.fillWidth: true
            visible: card.description.length > 0
            text: card.description
            wrapMode: Text.Wrap
            font: MenuType.caption
            color: MenuStyle.secondary
        }

        ColumnLayout {
            id: body
            Layout.fillWidth: true
            spacing: 10
        }
    }
}
