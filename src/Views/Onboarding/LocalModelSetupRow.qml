import QtQuick
import QtQuick.Layouts
import Quorvelle

// One local model on the setup screen: its names, install state and warning, the button its state
// calls for and, once installed, Delete.
Rectangle {
    id: row

    property string modelID
    property string title
    property string subtitle
    // "none", "elevated" or "heavy".
    property string warningTier
    // "installed", "failed", "notInstalled" or "downloading".
    property string installState
    // Why the last download failed and what to do next; empty unless it failed.
    property string failureText
    property bool isSelected
    property bool turkish
    // The setup screen brings the whole row into view around its focused button.
    readonly property bool revealsWhole: true

    signal primaryClicked
    signal deleteClicked

    readonly property var stateTitles: ({
        installed: ["Installed", "Kuruldu"],
        failed: ["Retry needed", "Tekrar deneme gerekli"],
        notInstalled: ["Download required", "İndirme gerekli"],
        downloading: ["Downloading", "İndiriliyor"]
    })
    // The same words in both languages.
    readonly property var primaryTitles: ({
        installed: isSelected ? "Selected" : "Select",
        failed: "Retry",
        notInstalled: "Download",
        downloading: "Cancel"
    })
    // Written in Turkish only, for both languages.
    readonly property var warnings: ({
        elevated: "Daha yuksek RAM ve daha uzun yukleme suresi bekleyin.",
        heavy: "Yaklasik 2.9 GiB disk ister. Daha guclu cihazlarda daha rahattir."
    })

    objectName: "setup-model-" + modelID
    Layout.fillWidth: true
    implicitHeight: column.implicitHeight + 20
    radius: 10
    color: Qt.rgba(MenuStyle.window.r, MenuStyle.window.g, MenuStyle.window.b, 0.35)

    ColumnLayout {
        id: column
        x: 10
        y: 10
        width: row.width - 20
        spacing: 8

        RowLayout {
            Layout.fillWidth: true

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 3

                UiText {
                    objectName: row.objectName + "-title"
                    Layout.fillWidth: true
                    text: row.title
                    wrapMode: Text.Wrap
                    font.pixelSize: MenuType.subheadline.pixelSize
                    font.weight: Font.DemiBold
                    color: MenuStyle.text
                }

                UiText {
                    objectName: row.objectName + "-subtitle"
                    Layout.fillWidth: true
                    text: row.subtitle
                    wrapMode: Text.Wrap
                    font: MenuType.caption
                    color: MenuStyle.secondary
                }
            }

            UiText {
                objectName: row.objectName + "-state"
                text: (row.stateTitles[row.installState] || ["", ""])[row.turkish ? 1 : 0]
                font.pixelSize: MenuType.caption.pixelSize
                font.weight: Font.Medium
                color: MenuStyle.secondary
            }
        }

        UiText {
            objectName: row.objectName + "-warning"
            Layout.fillWidth: true
            visible: text.length > 0
            text: row.warnings[row.warningTier] || ""
            wrapMode: Text.Wrap
            font: MenuType.caption
            color: MenuStyle.secondary
        }

        UiText {
            objectName: row.objectName + "-failure"
            Layout.fillWidth: true
            visible: text.length > 0
            text: row.failureText
            wrapMode: Text.Wrap
            font: MenuType.caption
            color: MenuStyle.theme.errorText
        }

        Flow {
            Layout.fillWidth: true
            spacing: 8

            PopoverButton {
                objectName: row.objectName + "-primary"
                text: row.primaryTitles[row.installState] || ""
                Accessible.description: DashboardTexts.buttonDescription(row.turkish ? "tr" : "en", text, row.title)
                highlighted: true
                onClicked: row.primaryClicked()
            }

            PopoverButton {
                objectName: row.objectName + "-delete"
                visible: row.installState === "installed"
                text: row.turkish ? "Sil" : "Delete"
                Accessible.description: DashboardTexts.buttonDescription(row.turkish ? "tr" : "en", text, row.title)
                onClicked: row.deleteClicked()
            }
        }
    }
}
