import QtQuick
import QtQuick.Layouts
import Quorvelle

// The dictionary page's place in the dashboard: below the window's header for its section, where the
// page's cards go. It holds none yet; the page's own work fills it.
ColumnLayout {
    required property AppViewModel viewModel
    required property MainWindowState windowState

    objectName: "dictionary-page"
    spacing: 16
}
