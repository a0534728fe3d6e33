import QtQuick
import QtQuick.Layouts
import Quorvelle

// The settings section: the engine, the spoken language, insertion, local models, the microphone,
// start at login, the dictionary switch and the version footer, one card each. Every control
// calls one view-model operation and shows what the view model publishes; the language search
// text is the page's own and starts empty on every visit.
ColumnLayout {
    id: root

    required property AppViewModel viewModel
    required property MainWindowState windowState

    objectName: "settings-page"
    spacing: 22

    SettingsPageModel {
        id: pageModel
        viewModel: root.viewModel
    }

    // Coming on screen hands the stored microphone to the capture service and re-lists devices.
    Component.onCompleted: pageModel.syncMicrophonePreference()

    TranscriptionModeCard {
        viewModel: root.viewModel
        page: pageModel
    }
    TranscriptionLanguageCard {
        viewModel: root.viewModel
        page: pageModel
    }
    InsertionCard {
        viewModel: root.viewModel
    }
    LocalModelsCard {
        viewModel: root.viewModel
    }
    MicrophoneCard {
        viewModel: root.viewModel
        page: pageModel
    }
    StartAtLoginCard {
        viewModel: root.viewModel
        page: pageModel
    }
    DictionarySwitchCard {
        viewModel: root.viewModel
    }
    VersionFooter {
        viewModel: root.viewModel
        page: pageModel
    }
}
