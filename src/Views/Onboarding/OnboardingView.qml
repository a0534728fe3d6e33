import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import Quorvelle

// The first-run setup screen: a checklist of cards (transcription mode, the two permissions, then
// the local model for local mode, or the account and the two disclosures for cloud mode). It keeps
// no state; the popover leaves it once the view model reports setup complete.
Item {
    id: root

    // The AppViewModel.
    required property AppViewModel viewModel
    readonly property bool turkish: viewModel.languageCode === "tr"
    readonly property var status: viewModel.permissions.onboardingStatus
    readonly property string backend: viewModel.localModels.selectedTranscriptionBackend
    // The pending sign-in, or null.
    readonly property var challenge: viewModel.account.backendAuthChallenge

    function text(english, turkish) {
        return root.turkish ? turkish : english
    }

    // A model row's main button, by the row's install state.
    function runPrimaryAction(modelID, installState) {
        const models = root.viewModel.localModels
        if (installState === "installed")
            models.selectLocalModel(modelID)
        else if (installState === "downloading")
            models.cancelLocalModelDownload(modelID)
        else
            models.downloadLocalModel(modelID)
    }

    implicitWidth: 360
    implicitHeight: 540

    OnboardingModel {
        id: setup
        viewModel: root.viewModel
    }

    ScrollArea {
        id: scroll
        objectName: "setup-scroll"
        scrollBarName: root.text("Quorvelle setup", "Quorvelle kurulumu")
        anchors.fill: parent
        contentHeight: content.implicitHeight + 32

        Item {
            width: scroll.width
            height: scroll.contentHeight

            ColumnLayout {
                id: content
                x: 16
                y: 16
                width: parent.width - 32
                spacing: 16

                UiText {
                    objectName: "setup-title"
                    text: root.text("Quorvelle setup", "Quorvelle kurulumu")
                    font.pixelSize: MenuType.title3.pixelSize
                    font.weight: Font.DemiBold
                    color: MenuStyle.text
                }

                UiText {
                    objectName: "setup-intro"
                    Layout.fillWidth: true
                    text: root.text("The app runs in the tray. Before starting dictation, finish permissions "
                                    + "and the setup required for the selected transcription mode.",
                                    "Uygulama sistem tepsisinde çalışır. Dikteyi açmadan önce izinleri ve seçili "
                                    + "transcription modu için gereken kurulumu tamamlayın.")
                    wrapMode: Text.Wrap
                    font: MenuType.body
                    color: MenuStyle.secondary
                }

                // Shown for any message, an empty one included.
                InlineMessageBlock {
                    id: banner
                    objectName: "setup-message"
                    Layout.fillWidth: true
                    visible: root.viewModel.inlineMessage !== null
                    message: root.viewModel.inlineMessage || ""
                    // What a button further down answered is scrolled into view, once laid out, as
                    // far as the control with the focus stays in view: a model row that failed says
                    // why itself, beside its Retry.
                    onMessageChanged: Qt.callLater(() => {
                        scroll.reveal(banner)
                        scroll.revealFocus()
                    })
                }

                SetupCard {
                    objectName: "setup-mode"
                    title: root.text("Transcription mode", "Transcription modu")
                    badgeLabel: root.backend === "local" ? root.text("Local", "Yerel")
                                                                       : root.text("Cloud", "Bulut")
                    ready: root.backend === "cloud" || setup.isLocalModeReady
                    description: root.text("Cloud mode uses a Quorvelle account and registered device. Local mode "
                                           + "runs on this computer with the embedded local engine and downloaded "
                                           + "model.",
                                           "Bulut modu Quorvelle hesabı ve kayıtlı cihaz kullanır. Yerel mod ise "
                                           + "uygulamaya gömülü local engine ve indirilen model ile bu bilgisayar "
                                           + "üzerinde çalışır.")

                    Flow {
                        Layout.fillWidth: true
                        spacing: 8

                        PopoverChoice {
                            objectName: "setup-mode-cloud"
                            text: root.text("Cloud", "Bulut")
                            isSelected: root.backend === "cloud"
                            onChoose: root.viewModel.localModels.selectTranscriptionBackend("cloud")
                        }

                        PopoverChoice {
                            objectName: "setup-mode-local"
                            text: root.text("Local", "Yerel")
                            isSelected: root.backend === "local"
                            // Local mode that is not ready yet is set up rather than selected.
                            onChoose: setup.isLocalModeReady
                                       ? root.viewModel.localModels.selectTranscriptionBackend("local")
                                       : root.viewModel.localModels.openLocalModeSetup()
                        }
                    }
                }

                SetupCard {
                    objectName: "setup-microphone"
                    title: root.text("Microphone permission", "Mikrofon izni")
                    badgeLabel: setup.microphonePermissionLabel
                    ready: root.status.microphonePermission === "authorized"
                    description: root.text("Microphone permission is required to start dictation.",
                                           "Dikte başlatabilmek için mikrofon izni gerekli.")

                    Flow {
                        Layout.fillWidth: true
                        spacing: 8

                        PopoverButton {
                            objectName: "setup-microphone-request"
                            text: root.text("Request permission", "İzin iste")
                            highlighted: true
                            onClicked: root.viewModel.permissions.requestMicrophonePermission()
                        }

                        PopoverButton {
                            objectName: "setup-microphone-settings"
                            text: root.text("Desktop settings", "Masaüstü ayarları")
                            Accessible.description: root.text("Open microphone settings", "Mikrofon ayarlarını aç")
                            onClicked: root.viewModel.permissions.openMicrophoneSettings()
                        }

                        PopoverButton {
                            objectName: "setup-microphone-check"
                            text: root.text("Check again", "Yeniden kontrol")
                            Accessible.description: root.text("Check microphone permission again",
                                                              "Mikrofon iznini yeniden kontrol et")
                            onClicked: root.viewModel.reloadSettings()
                        }
                    }
                }

                SetupCard {
                    objectName: "setup-accessibility"
                    title: root.text("Accessibility permission", "Accessibility izni")
                    badgeLabel: setup.accessibilityPermissionLabel
                    ready: root.status.accessibilityPermission === "authorized"
                    description: root.text("Accessibility is required to detect writable fields and insert text.",
                                           "Yazılabilir alanı tespit etmek ve metni eklemek için Accessibility "
                                           + "gerekli.")

                    Flow {
                        Layout.fillWidth: true
                        spacing: 8

                        PopoverButton {
                            objectName: "setup-accessibility-open"
                            text: root.text("Open", "Yönlendir")
                            highlighted: true
                            onClicked: root.viewModel.permissions.requestAccessibilityPermission()
                        }

                        PopoverButton {
                            objectName: "setup-accessibility-settings"
                            text: root.text("Desktop settings", "Masaüstü ayarları")
                            Accessible.description: root.text("Open accessibility settings", "Accessibility ayarlarını aç")
                            onClicked: root.viewModel.permissions.openAccessibilitySettings()
                        }

                        PopoverButton {
                            objectName: "setup-accessibility-check"
                            text: root.text("Check again", "Yeniden kontrol")
                            Accessible.description: root.text("Check accessibility permission again",
                                                              "Accessibility iznini yeniden kontrol et")
                            onClicked: root.viewModel.reloadSettings()
                        }
                    }
                }

                SetupCard {
                    objectName: "setup-local"
                    visible: root.backend === "local"
                    title: root.text("Local model", "Yerel model")
                    badgeLabel: setup.isLocalModeReady ? root.text("Ready", "Hazır") : root.text("Missing", "Eksik")
                    ready: setup.isLocalModeReady

                    UiText {
                        objectName: "setup-local-runtime"
                        Layout.fillWidth: true
                        text: "Runtime: " + setup.runtimeStatusLabel
                        wrapMode: Text.Wrap
                        font: MenuType.caption
                        color: MenuStyle.secondary
                    }

                    UiText {
                        objectName: "setup-local-detail"
                        Layout.fillWidth: true
                        text: setup.localStatusDetail
                        wrapMode: Text.Wrap
                        font: MenuType.caption
                        color: MenuStyle.secondary
                    }

                    Repeater {
                        model: root.viewModel.localModels.localModelStatuses

                        LocalModelSetupRow {
                            modelID: model.id
                            title: model.descriptor.title
                            subtitle: model.descriptor.subtitle
                            warningTier: model.descriptor.warningTier
                            installState: model.installState.kind
                            failureText: model.installState.failureMessage ?? ""
                            isSelected: model.isSelected
                            turkish: root.turkish
                            onPrimaryClicked: root.runPrimaryAction(modelID, installState)
                            onDeleteClicked: root.viewModel.localModels.deleteLocalModel(modelID)
                        }
                    }
                }

                SetupCard {
                    objectName: "setup-account"
                    visible: root.backend === "cloud"
                    title: root.text("Quorvelle account", "Quorvelle hesabı")
                    badgeLabel: root.status.hasAPIKey ? root.text("Connected", "Bağlı") : root.text("Missing", "Eksik")
                    ready: root.status.hasAPIKey
                    description: root.text("Cloud mode signs in to your Quorvelle account and registers this "
                                           + "computer in the backend device list.",
                                           "Bulut modu için Quorvelle hesabına giriş yapılır ve bu bilgisayar "
                                           + "backend cihaz listesine kaydedilir.")

                    UiText {
                        objectName: "setup-account-code"
                        visible: root.challenge !== null
                        text: root.text("Code: ", "Kod: ") + (root.challenge ? root.challenge.userCode : "")
                        font.pixelSize: MenuType.title3.pixelSize
                        font.weight: Font.DemiBold
                        color: MenuStyle.text
                    }

                    UiText {
                        objectName: "setup-account-url"
                        Layout.fillWidth: true
                        visible: root.challenge !== null
                        text: root.challenge ? root.challenge.verificationURL.toString() : ""
                        wrapMode: Text.WrapAnywhere
                        font: MenuType.caption
                        color: MenuStyle.secondary
                    }

                    Flow {
                        Layout.fillWidth: true
                        spacing: 8

                        PopoverButton {
                            objectName: "setup-account-sign-in"
                            text: root.status.hasAPIKey ? root.text("Reconnect", "Yeniden bağla")
                                                  : root.text("Start sign in", "Giriş başlat")
                            highlighted: true
                            onClicked: root.viewModel.account.startBackendSignIn()
                        }

                        PopoverButton {
                            objectName: "setup-account-open"
                            visible: root.challenge !== null
                            text: root.text("Open sign-in page", "Giriş sayfasını aç")
                            onClicked: root.viewModel.account.openSignInVerificationPage()
                        }

                        PopoverButton {
                            objectName: "setup-account-check"
                            visible: root.challenge !== null
                            text: root.text("Check", "Kontrol et")
                            onClicked: root.viewModel.account.checkSignInApproval()
                        }

                        PopoverButton {
                            objectName: "setup-account-sign-out"
                            visible: root.status.hasAPIKey
                            text: root.text("Sign out", "Çıkış")
                            onClicked: root.viewModel.account.signOutBackendAccount()
                        }
                    }

                    UiText {
                        objectName: "setup-account-polling"
                        visible: root.viewModel.account.isBackendAuthPolling
                        text: root.text("Checking account status...", "Hesap durumu kontrol ediliyor...")
                        font: MenuType.caption
                        color: MenuStyle.secondary
                    }
                }

                DisclosureSetupCard {
                    objectName: "setup-cloud-disclosure"
                    visible: root.backend === "cloud"
                    turkish: root.turkish
                    title: DisclosureTexts.cloudTitle(root.turkish)
                    description: "Sesiniz transcription icin cloud servisine gonderilir."
                    ready: root.status.hasAcceptedGroqDisclosure
                    onViewRequested: {
                        DisclosureRequests.cloudOwner = root.Window.window
                        root.viewModel.permissions.showingGroqDisclosureSheet = true
                    }
                    onAcceptRequested: root.viewModel.permissions.acceptCloudDisclosure()
                }

                DisclosureSetupCard {
                    objectName: "setup-privacy"
                    visible: root.backend === "cloud"
                    turkish: root.turkish
                    title: DisclosureTexts.privacyTitle(root.turkish)
                    description: "Ses icerigi kalici olarak tutulmaz, hesap tokenlari keyring icinde saklanir."
                    ready: root.status.hasAcceptedPrivacyDisclosure
                    onViewRequested: {
                        DisclosureRequests.privacyOwner = root.Window.window
                        root.viewModel.permissions.showingPrivacyDisclosureSheet = true
                    }
                    onAcceptRequested: root.viewModel.permissions.acceptPrivacyDisclosure()
                }
            }
        }
    }
}
