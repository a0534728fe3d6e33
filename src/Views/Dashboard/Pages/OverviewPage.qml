import QtQuick
import QtQuick.Layouts
import Quorvelle

// The overview: four usage tiles over the whole history, then the five latest dictations with a
// link to the whole history. Each row's quick add saves a pair through the window's action.
ColumnLayout {
    id: root

    required property AppViewModel viewModel
    required property MainWindowState windowState
    readonly property string languageCode: viewModel.languageCode

    function text(english, turkish) {
        return DashboardTexts.localized(root.languageCode, english, turkish)
    }

    objectName: "overview-page"
    spacing: 18

    OverviewTiles {
        id: tiles
        viewModel: root.viewModel
    }

    GridLayout {
        objectName: "overview-metrics"
        Layout.fillWidth: true
        columns: 4
        columnSpacing: 12
        rowSpacing: 12

        Repeater {
            model: tiles.tiles

            MetricCard {
                objectName: "overview-metric-" + index
                Layout.fillWidth: true
                // One height for the row: a title that wraps makes every tile taller, not its own.
                Layout.fillHeight: true
                Layout.preferredWidth: 1
                Layout.minimumWidth: 10
                title: modelData.title
                value: modelData.value
                subtitle: modelData.subtitle
                symbolName: modelData.symbolName
            }
        }
    }

    RowLayout {
        Layout.fillWidth: true
        Layout.topMargin: 2

        ColumnLayout {
            Layout.alignment: Qt.AlignBaseline
            spacing: 4

            UiText {
                text: root.text("Recent Activity", "Son Aktivite")
                font.pixelSize: 16
                font.weight: Font.DemiBold
                color: DesktopTheme.colors.primaryText
            }

            UiText {
                text: root.text("Your latest transcriptions from this device.",
                                "Bu cihazdaki son transcription kayıtlarınız.")
                color: DesktopTheme.colors.secondaryText
            }
        }

        Item {
            Layout.fillWidth: true
        }

        DashboardButtonBase {
            id: fullHistoryButton
            objectName: "overview-view-full-history"
            Layout.alignment: Qt.AlignTop
            Accessible.role: Accessible.Button
            title: root.text("View Full History", "Tüm Geçmişi Gör")
            callback: root.windowState.viewFullHistory

            contentItem: UiText {
                text: fullHistoryButton.title
                font.weight: Font.Medium
                color: DesktopTheme.colors.primaryText
            }
        }
    }

    HistoryRowList {
        Layout.fillWidth: true
        viewModel: root.viewModel
        windowState: root.windowState
        limit: 5
        emptyMessage: root.text("No completed transcriptions yet.", "Henüz tamamlanmış transcription yok.")
    }
}
