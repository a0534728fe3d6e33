import QtQuick
import QtQuick.Layouts
import Quorvelle

// Starting with the desktop session: the switch, the state as the system reports it, and the way
// to the desktop's autostart settings while an approval is pending.
RowLayout {
    id: root

    required property AppViewModel viewModel
    required property SettingsPageModel page
    readonly property bool turkish: viewModel.languageCode === "tr"

    function text(english, turkish) {
        return root.turkish ? turkish : english
    }

    Layout.fillWidth: true
    spacing: 22

    SurfaceCard {
        objectName: "settings-start-at-login"
        Layout.alignment: Qt.AlignTop

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 16

            SectionHeading {
                symbolName: "power"
                title: root.text("Start at Login", "Girişte Başlat")
                subtitle: root.text("Launch Quorvelle automatically when the desktop signs in.",
                                    "Masaüstü oturumu açıldığında Quorvelle'i otomatik başlat.")
            }

            ToggleFeatureCard {
                objectName: "settings-start-at-login-switch"
                title: root.text("Open Quorvelle at sign-in", "Quorvelle'i oturum açılışında aç")
                subtitle: root.text("Quorvelle registers as an autostart item and keeps the tray utility ready in the background.",
                                    "Quorvelle autostart öğesi olarak kaydolur ve sistem tepsisi utility'sini arka planda hazır tutar.")
                isOn: root.page.isStartAtLoginOn
                onEdited: on => root.viewModel.preferences.setStartAtLoginEnabled(on)
            }

            CompactInfoCard {
                objectName: "settings-start-at-login-status"
                eyebrow: root.text("STATUS", "DURUM")
                value: root.page.startAtLoginStatusLabel
            }

            HeaderGhostButton {
                objectName: "settings-open-autostart"
                visible: root.page.startAtLoginNeedsApproval
                title: root.text("Open Autostart Settings", "Otomatik Başlatma Ayarlarını Aç")
                symbolName: "gearshape"
                callback: () => root.viewModel.preferences.openLoginItemsSettings()
            }
        }
    }
}
