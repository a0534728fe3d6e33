import QtQuick
import QtQuick.Layouts
import Quorvelle

// The whole history, one row per dictation, newest first. Its Export CSV and Clear History
// buttons belong in the window's page header: the page hands them to it while it shows.
ColumnLayout {
    id: root

    required property AppViewModel viewModel
    required property MainWindowState windowState
    readonly property string languageCode: viewModel.languageCode
    // The window's page header, found beside the page in the detail column.
    property Item pageHeader: null

    objectName: "history-page"
    spacing: 16

    HistoryExporter {
        id: historyExporter
        objectName: "history-exporter"
        viewModel: root.viewModel
    }

    Component {
        id: headerActions

        HistoryHeaderActions {
            viewModel: root.viewModel
            exporter: historyExporter
        }
    }

    Component.onCompleted: {
        for (let item = root.parent; item && !root.pageHeader; item = item.parent) {
            for (let index = 0; index < item.children.length; ++index) {
                if (item.children[index].objectName === "main-window-page-header")
                    root.pageHeader = item.children[index]
            }
        }
        if (root.pageHeader)
            root.pageHeader.trailing = headerActions
    }

    // The window lets go of a page (takes it out of the column) before deleting it.
    function releaseHeader() {
        if (root.pageHeader && root.pageHeader.trailing === headerActions)
            root.pageHeader.trailing = null
        root.pageHeader = null
    }

    onParentChanged: {
        if (!root.parent)
            releaseHeader()
    }
    Component.onDestruction: releaseHeader()

    UiText {
        objectName: "history-export-message"
        Layout.fillWidth: true
        visible: historyExporter.message.length > 0
        text: historyExporter.message
        wrapMode: Text.Wrap
        color: DesktopTheme.colors.errorText
    }

    HistoryRowList {
        Layout.fillWidth: true
        viewModel: root.viewModel
        windowState: root.windowState
        limit: -1
        emptyMessage: DashboardTexts.localized(root.languageCode, "No transcript history saved yet.",
                                               "Henüz transcript geçmişi kaydedilmedi.")
    }
}
