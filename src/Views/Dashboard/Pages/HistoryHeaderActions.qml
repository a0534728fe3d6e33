import QtQuick
import QtQuick.Layouts
import Quorvelle

// The history section's header buttons: export the history as CSV, clear it at once. Both are
// off while the history is empty. An export that takes longer than a moment says that it runs.
RowLayout {
    id: root

    required property AppViewModel viewModel
    required property HistoryExporter exporter
    readonly property string languageCode: viewModel.languageCode
    // The running export has outlasted a moment: the button says so until it is done.
    property bool exportTakesLong: false

    HistoryRows {
        id: rows
        viewModel: root.viewModel
        limit: 1
    }

    spacing: 10

    Timer {
        interval: 300
        running: root.exporter.busy
        onTriggered: root.exportTakesLong = true
    }

    Connections {
        target: root.exporter
        function onBusyChanged() {
            if (!root.exporter.busy)
                root.exportTakesLong = false
        }
    }

    HeaderSecondaryButton {
        objectName: "history-export-button"
        Accessible.role: Accessible.Button
        title: root.exportTakesLong ? DashboardTexts.localized(root.languageCode, "Exporting…", "Dışa aktarılıyor…")
                                    : DashboardTexts.localized(root.languageCode, "Export CSV", "CSV Dışa Aktar")
        symbolName: "square.and.arrow.up"
        isDisabled: rows.count === 0 || root.exporter.busy
        callback: root.exporter.exportHistoryCSV
    }

    HeaderDangerButton {
        objectName: "history-clear-button"
        Accessible.role: Accessible.Button
        title: DashboardTexts.localized(root.languageCode, "Clear History", "Geçmişi Temizle")
        isDisabled: rows.count === 0
        callback: root.viewModel.history.clearTranscriptHistory
    }
}
