import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quorvelle

// The release notes: a timeline of the stable releases as the backend lists them, loaded when the
// page comes on screen unless a load runs or its result is there; with a way to the web page and
// a refresh. Loading, failure and an empty list each have their own view.
ColumnLayout {
    id: root

    required property AppViewModel viewModel
    required property MainWindowState windowState
    readonly property bool turkish: viewModel.languageCode === "tr"

    function text(english, turkish) {
        return root.turkish ? turkish : english
    }

    objectName: "changelog-page"
    spacing: 16

    ReleaseNotesPageModel {
        id: notes
        viewModel: root.viewModel
    }

    Component.onCompleted: notes.loadIfNeeded()

    SurfaceCard {
        ColumnLayout {
            Layout.fillWidth: true
            spacing: 18

            RowLayout {
                Layout.fillWidth: true
                spacing: 12

                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 4

                    UiText {
                        Layout.fillWidth: true
                        text: root.text("Stable release timeline", "Stable sürüm zaman çizelgesi")
                        wrapMode: Text.Wrap
                        font.pixelSize: 16
                        font.weight: Font.DemiBold
                        color: DesktopTheme.colors.primaryText
                    }
                    UiText {
                        Layout.fillWidth: true
                        text: root.text("Loaded from the Quorvelle release API. Updating notes in admin does not require rebuilding the desktop app.",
                                        "Quorvelle release API'den yüklenir. Admin'deki notları güncellemek masaüstü uygulamasını yeniden derlemeyi gerektirmez.")
                        wrapMode: Text.Wrap
                        color: DesktopTheme.colors.secondaryText
                    }
                }

                HeaderSecondaryButton {
                    objectName: "changelog-open-web"
                    title: root.text("Open Web", "Web'de Aç")
                    symbolName: "safari"
                    callback: () => notes.openWebPage()
                }
                HeaderSecondaryButton {
                    objectName: "changelog-refresh"
                    title: root.text("Refresh", "Yenile")
                    symbolName: "arrow.clockwise"
                    callback: () => notes.reload()
                }
            }

            Rectangle {
                Layout.fillWidth: true
                implicitHeight: 1
                color: DesktopTheme.colors.divider
            }

            RowLayout {
                objectName: "changelog-loading"
                visible: notes.state === "idle" || notes.state === "loading"
                Layout.fillWidth: true
                Layout.topMargin: 18
                Layout.bottomMargin: 18
                spacing: 12

                BusyIndicator {
                    implicitWidth: 18
                    implicitHeight: 18
                    running: parent.visible
                }
                UiText {
                    Layout.fillWidth: true
                    text: root.text("Loading release notes...", "Sürüm notları yükleniyor...")
                    font.pixelSize: 14
                    color: DesktopTheme.colors.secondaryText
                }
            }

            ColumnLayout {
                objectName: "changelog-failed"
                visible: notes.state === "failed"
                Layout.fillWidth: true
                Layout.topMargin: 12
                Layout.bottomMargin: 12
                spacing: 10

                UiText {
                    Layout.fillWidth: true
                    text: root.text("Release notes are unavailable.", "Sürüm notları şu anda mevcut değil.")
                    wrapMode: Text.Wrap
                    font.pixelSize: 15
                    font.weight: Font.DemiBold
                    color: DesktopTheme.colors.primaryText
                }
                UiText {
                    Layout.fillWidth: true
                    text: root.text("Check the web page or try again after the release API is reachable.",
                                    "Web sayfasını açın veya release API erişilebilir olduktan sonra tekrar deneyin.")
                    wrapMode: Text.Wrap
                    color: DesktopTheme.colors.secondaryText
                }
            }

            UiText {
                objectName: "changelog-empty"
                visible: notes.state === "loaded" && notes.entries.length === 0
                Layout.fillWidth: true
                Layout.topMargin: 14
                Layout.bottomMargin: 14
                text: root.text("No release notes have been published yet.", "Henüz yayımlanmış sürüm notu yok.")
                wrapMode: Text.Wrap
                font.pixelSize: 14
                color: DesktopTheme.colors.secondaryText
            }

            ColumnLayout {
                objectName: "changelog-timeline"
                visible: notes.state === "loaded" && notes.entries.length > 0
                Layout.fillWidth: true
                spacing: 22

                Repeater {
                    model: notes.state === "loaded" ? notes.entries : []

                    ReleaseNoteRow {
                        required property var modelData
                        objectName: "changelog-entry-" + modelData.id
                        entry: modelData
                    }
                }
            }
        }
    }
}
