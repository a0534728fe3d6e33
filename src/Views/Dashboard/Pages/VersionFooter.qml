import QtQuick
import QtQuick.Layouts
import Quorvelle

// The page's foot, outside any card and centred under it: the version and the update check.
Item {
    id: root

    required property AppViewModel viewModel
    required property SettingsPageModel page

    objectName: "settings-version-footer"
    Layout.fillWidth: true
    Layout.topMargin: 6
    implicitWidth: column.implicitWidth
    implicitHeight: column.implicitHeight

    ColumnLayout {
        id: column
        anchors.horizontalCenter: parent.horizontalCenter
        spacing: 10

        UiText {
            objectName: "settings-version"
            Layout.alignment: Qt.AlignHCenter
            text: root.page.versionLine
            color: DesktopTheme.colors.secondaryText
        }

        HeaderGhostButton {
            objectName: "settings-check-updates"
            Layout.alignment: Qt.AlignHCenter
            enabled: root.viewModel.account.canCheckForUpdates
            title: root.viewModel.languageCode === "tr" ? "Güncellemeleri Kontrol Et" : "Check for Updates"
            symbolName: "arrow.clockwise"
            callback: () => root.viewModel.account.checkForUpdates()
        }
    }
}
