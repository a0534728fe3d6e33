import QtQuick
import QtQuick.Layouts
import Quorvelle

// The history section's header buttons: export the history as CSV, clear it at once. Both are
// off while the history is empty.
RowLayout {
    id: root

    required property AppViewModel viewModel
    required property HistoryExporter exporter
    readonly property string languageCode: viewModel.languageCode

    HistoryRows {
        id: rows
        viewModel: root.viewModel
        limit: 1
    }

    spacing: 10

    HeaderSecondaryButton {
        objectName: "history-export-button"
        Accessible.role: Accessible.Button
        title: DashboardTexts.localized(root.languageCode, "Export CSV", "CSV Dışa Aktar")
        symbolName: "square.and.arrow.up"
        isDisabled: rows.count === 0
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
