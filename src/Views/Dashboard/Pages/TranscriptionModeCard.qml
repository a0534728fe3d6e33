import QtQuick
import QtQuick.Layouts
import Quorvelle

// The engine choice: the on-device engine first, then the cloud, and the local-mode guidance.
SurfaceCard {
    id: root

    required property AppViewModel viewModel
    required property SettingsPageModel page
    readonly property bool turkish: viewModel.languageCode === "tr"

    function text(english, turkish) {
        return root.turkish ? turkish : english
    }

    objectName: "settings-transcription-mode"
    // Both engine cards as high as the taller needs, 156 at least, so that a narrow window
    // shows their subtitles whole.
    readonly property real modeCardHeight: Math.max(156, localCard.fittingHeight, cloudCard.fittingHeight)

    ColumnLayout {
        Layout.fillWidth: true
        spacing: 16

        SectionHeading {
            symbolName: "character.textbox"
            title: root.text("Transcription Mode", "Transcription Modu")
            subtitle: root.text("Choose how Quorvelle converts your speech to text.",
                                "Quorvelle'in konuşmanızı metne nasıl çevireceğini seçin.")
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 12

            ModeSelectionCard {
                id: localCard
                objectName: "settings-mode-local"
                Layout.preferredHeight: root.modeCardHeight
                title: root.text("Local", "Yerel")
                subtitle: root.text(
                    "On-device transcription with the local engine. Audio stays on this computer after model setup.",
                    "Yerel engine ile cihaz üzerinde transcription. Model kurulumu sonrası ses bu bilgisayarda kalır.")
                tags: root.page.localEngineTags
                symbolName: "cpu"
                isSelected: root.page.isLocalSelected
                callback: () => root.page.selectLocalEngine()
            }

            ModeSelectionCard {
                id: cloudCard
                objectName: "settings-mode-cloud"
                Layout.preferredHeight: root.modeCardHeight
                title: root.text("Cloud", "Bulut")
                subtitle: root.text("More accurate, faster, and supports the current Quorvelle cloud path",
                                    "Daha isabetli, daha hızlı ve mevcut Quorvelle bulut yolunu destekler")
                tags: [root.text("Cloud", "Bulut"), root.text("Fast", "Hızlı"), root.text("Accurate", "İsabetli")]
                symbolName: "cloud"
                isSelected: !root.page.isLocalSelected
                callback: () => root.page.selectCloudEngine()
            }
        }

        UiText {
            objectName: "settings-local-status-detail"
            Layout.fillWidth: true
            text: root.page.localModeStatusDetail
            wrapMode: Text.Wrap
            color: DesktopTheme.colors.secondaryText
        }
    }
}
