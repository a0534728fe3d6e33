import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quorvelle

// The popover once setup is complete: the ready header, the last outcome, the Status and Settings
// tabs, and the dashboard, update and Quit buttons. The tab content is made afresh on every switch,
// so the settings panel and its recorder do not live on under the Status tab. Given less height
// than it asks for, everything above the buttons scrolls and the buttons stay in view.
Item {
    id: root

    required property AppViewModel viewModel
    required property QtObject appShell
    // "overview" or "settings"; a new ready state starts on the Status tab.
    property string selectedSection: "overview"
    readonly property bool turkish: viewModel.languageCode === "tr"

    implicitWidth: 360
    implicitHeight: body.contentHeight + footer.implicitHeight + 16

    ScrollArea {
        id: body
        objectName: "ready-body"
        scrollBarName: "Quorvelle"
        width: root.width
        height: root.height - footer.implicitHeight - 16
        contentHeight: column.implicitHeight + 28
    }

    ColumnLayout {
        id: column
        parent: body.contentItem
        x: 16
        y: 16
        width: root.width - 32
        spacing: 12

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 6

            RowLayout {
                spacing: 6

                Icon {
                    name: "waveform"
                    size: MenuType.headline.pixelSize
                    color: MenuStyle.text
                }

                UiText {
                    objectName: "ready-title"
                    text: root.turkish ? "Quorvelle hazır" : "Quorvelle ready"
                    font: MenuType.headline
                    color: MenuStyle.text
                }
            }

            UiText {
                objectName: "ready-subtitle"
                Layout.fillWidth: true
                wrapMode: Text.Wrap
                text: root.turkish ? "İlk kurulum tamamlandı. Sistem tepsisi utility arka planda çalışmaya hazır."
                                   : "Initial setup is complete. The tray utility is ready in the background."
                font: MenuType.body
                color: MenuStyle.secondary
            }

            UiText {
                objectName: "ready-hint"
                Layout.fillWidth: true
                wrapMode: Text.Wrap
                text: root.turkish ? "Detaylı masaüstü penceresi için Dashboard'u Aç düğmesini kullan."
                                   : "Use Open Dashboard for the detailed desktop window."
                font: MenuType.caption
                color: MenuStyle.tertiary
            }
        }

        InlineMessageBlock {
            Layout.fillWidth: true
            message: root.viewModel.inlineMessage || ""
        }

        PopoverDivider {}

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            UiText {
                id: tabsLabel
                text: "Panel"
                font: MenuType.body
                color: MenuStyle.text
            }

            // The two tabs in a plain row: a tab bar is a focus scope, and would read as focused
            // itself while one of its tabs has the focus.
            Row {
                id: tabs
                objectName: "ready-tabs"
                Layout.fillWidth: true
                Accessible.role: Accessible.PageTabList
                Accessible.name: tabsLabel.text

                PopoverTab {
                    objectName: "ready-tab-overview"
                    width: tabs.width / 2
                    text: root.turkish ? "Durum" : "Status"
                    checked: root.selectedSection !== "settings"
                    onChosen: root.selectedSection = "overview"
                }

                PopoverTab {
                    objectName: "ready-tab-settings"
                    width: tabs.width / 2
                    text: root.turkish ? "Ayarlar" : "Settings"
                    checked: root.selectedSection === "settings"
                    onChosen: root.selectedSection = "settings"
                }
            }
        }

        Loader {
            objectName: "ready-panel"
            Layout.fillWidth: true
            sourceComponent: root.selectedSection === "settings" ? settingsPanel : overviewPanel
        }
    }

    RowLayout {
        id: footer
        x: 16
        y: root.height - 16 - height
        width: root.width - 32

        PopoverButton {
            objectName: "ready-open-dashboard"
            highlighted: true
            text: root.turkish ? "Dashboard'u Aç" : "Open Dashboard"
            onClicked: root.appShell.openDashboard()
        }

        PopoverButton {
            objectName: "ready-check-updates"
            enabled: root.viewModel.account.canCheckForUpdates
            text: root.turkish ? "Güncelleme Kontrolü" : "Check Updates"
            onClicked: root.viewModel.account.checkForUpdates()
        }

        Item {
            Layout.fillWidth: true
        }

        PopoverButton {
            objectName: "ready-quit"
            text: root.turkish ? "Çık" : "Quit"
            onClicked: root.appShell.quit()
        }
    }

    Component {
        id: overviewPanel

        ReadyOverviewPanel {
            viewModel: root.viewModel
        }
    }

    Component {
        id: settingsPanel

        SettingsPanelView {
            viewModel: root.viewModel
        }
    }
}
