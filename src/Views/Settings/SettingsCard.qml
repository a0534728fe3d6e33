import QtQuick
import QtQuick.Layouts
import Quorvelle

// A titled group of the settings panel on a soft rounded fill.
Rectangle {
    id: card

    required property string title
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

        UiText {
            text: card.title
            font.pixelSize: MenuType.subheadline.pixelSize
            font.weight: Font.DemiBold
            color: MenuStyle.text
        }

        ColumnLayout {
            id: body
            Layout.fillWidth: true
            spacing: 10
        }
    }
}
