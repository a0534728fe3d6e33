import QtQuick
import QtQuick.Layouts
import Quorvelle

// The Status tab: read-only label and value rows about the engine, account, hot key, readiness
// and session, and while recording a reduced copy of the overlay pill. Calls nothing.
ColumnLayout {
    id: root

    required property AppViewModel viewModel

    spacing: 10

    ReadyOverviewModel {
        id: overview
        viewModel: root.viewModel
    }

    Repeater {
        model: overview.rows

        RowLayout {
            id: row

            required property var modelData
            required property int index

            objectName: "overview-row-" + index
            Layout.fillWidth: true
            spacing: 0

            UiText {
                objectName: "overview-label"
                Layout.alignment: Qt.AlignBaseline
                text: row.modelData.label
                font.pixelSize: row.modelData.isSmall ? MenuType.caption2.pixelSize : MenuType.caption.pixelSize
                font.weight: Font.DemiBold
                color: MenuStyle.text
            }

            Item {
                Layout.fillWidth: true
                Layout.minimumWidth: 8
                Layout.preferredWidth: 8
            }

            UiText {
                objectName: "overview-value"
                Layout.alignment: Qt.AlignBaseline
                Layout.maximumWidth: root.width * 0.7
                text: row.modelData.value
                horizontalAlignment: Text.AlignRight
                wrapMode: Text.Wrap
                font.pixelSize: row.modelData.isSmall ? MenuType.caption2.pixelSize : MenuType.caption.pixelSize
                color: row.modelData.isPrimary ? MenuStyle.primary : MenuStyle.secondary
            }
        }
    }

    // The pill at 0.82 from its leading edge; its layout size stays the pill's own.
    Item {
        objectName: "overview-recording-preview"
        visible: overview.isRecording
        Layout.fillWidth: true
        implicitHeight: visible ? pillLoader.implicitHeight + 2 : 0

        Loader {
            id: pillLoader
            y: 2
            active: overview.isRecording
            scale: 0.82
            transformOrigin: Item.Left
            sourceComponent: RuntimeOverlayView {
                viewModel: root.viewModel
                // The overlay panel itself announces the session; its copy here stays quiet.
                announces: false
            }
        }
    }
}
