import QtQuick
import QtQuick.Layouts
import Quorvelle

// The snippets page's place in the dashboard: below the window's header for its section, where the
// page's cards go. It holds none yet; the page's own work fills it.
ColumnLayout {
    required property AppViewModel viewModel
    required property MainWindowState windowState

    objectName: "snippets-page"
    spacing: 16
}
