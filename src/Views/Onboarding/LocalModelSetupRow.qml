import QtQuick
import QtQuick.Layouts
import Quorvelle

// One local model on the setup screen: its names, install state and warning, the button its state
// calls for and, once installed, Delete.
Rectangle {
    id: row

    // A row of OnboardingModel.modelRows.
    required property var modelData
    required property bool turkish

    signal primaryClicked(string modelID)
    signal deleteClicked(string modelID)

    objectName: "setup-model-" + modelData.id
    Layout.fillWidth: true
    implicitHeight: column.implicitHeight + 20
    radius: 10
    color: Qt.rgba(MenuStyle.window.r, MenuStyle.window.g, MenuStyle.window.b, 0.35)

    ColumnLayout {
        id: column
        x: 10
        y: 10
        width: row.width - 20
        spacing: 8

        RowLayout {
            Layout.fillWidth: true

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 3

                UiText {
                    objectName: row.objectName + "-title"
                    Layout.fillWidth: true
                    text: row.modelData.title
                    wrapMode: Text.Wrap
                    font.pixelSize: MenuType.subheadline.pixelSize
                    font.weight: Font.DemiBold
                    color: MenuStyle.text
                }

                UiText {
                    objectName: row.objectName + "-subtitle"
                    Layout.fillWidth: true
                    text: row.modelData.subtitle
                    wrapMode: Text.Wrap
                    font: MenuType.caption
                    color: MenuStyle.secondary
                }
            }

            UiText {
                objectName: row.objectName + "-state"
                text: row.modelData.stateTitle
                font.pixelSize: MenuType.caption.pixelSize
                font.weight: Font.Medium
                color: MenuStyle.secondary
            }
        }

        UiText {
            objectName: row.objectName + "-warning"
            Layout.fillWidth: true
            visible: row.modelData.warning.length > 0
            text: row.modelData.warning
            wrapMode: Text.Wrap
            font: MenuType.caption
            color: MenuStyle.secondary
        }

        Flow {
            Layout.fillWidth: true
            spacing: 8

            PopoverButton {
                objectName: row.objectName + "-primary"
                text: row.modelData.primaryTitle
                highlighted: true
                onClicked: row.primaryClicked(row.modelData.id)
            }

            PopoverButton {
                objectName: row.objectName + "-delete"
                visible: row.modelData.installState === "installed"
                text: row.turkish ? "Sil" : "Delete"
                onClicked: row.deleteClicked(row.modelData.id)
            }
        }
    }
}
