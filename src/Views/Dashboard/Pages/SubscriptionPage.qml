import QtQuick
import QtQuick.Layouts
import QtQuick.Window
import Quorvelle

// The account page: this computer's link to the account, through the device-code sign-in (a
// short code approved in the browser while the view model polls), its status and registered
// device, sign-out, and the two disclosure sheets. It is never locked. The card follows the view
// model's values; every control is one view-model call or sets one of its sheet flags.
ColumnLayout {
    id: root

    required property AppViewModel viewModel
    required property MainWindowState windowState
    readonly property QtObject account: viewModel.account
    readonly property string languageCode: viewModel.languageCode

    objectName: "subscription-page"
    spacing: 22

    function isPresent(value) {
        return value !== null && value !== undefined
    }

    function text(english, turkish) {
        return DashboardTexts.localized(root.languageCode, english, turkish)
    }

    AccountCardState {
        id: card
        viewModel: root.viewModel
    }

    // Each step of the card hides the controls of the one before, the focused one too (Sign Out,
    // Connect, Check): the first control of the step now shown takes the focus.
    readonly property string step: card.cardState
    onStepChanged: stepFocus.handOff(cardContent)

    StepFocus {
        id: stepFocus
        window: root.Window.window
        keyboardOnly: true
    }

    SurfaceCard {
        objectName: "account-card"

        ColumnLayout {
            id: cardContent
            Layout.fillWidth: true
            spacing: 16

            SectionHeading {
                objectName: "account-heading"
                symbolName: "person.crop.circle.badge.checkmark"
                title: root.text("This Computer", "Bu Bilgisayar")
                subtitle: card.cardState === "linked"
                          ? root.text("This computer is linked to your account.", "Bu bilgisayar hesabınıza bağlı.")
                          : card.cardState === "codePending"
                            ? root.text("Open the verification page and confirm the code.",
                                        "Doğrulama sayfasını açıp kodu onaylayın.")
                            : root.text("Link this computer to your Quorvelle account to start dictating.",
                                        "Dikteye başlamak için bu bilgisayarı Quorvelle hesabınıza bağlayın.")
            }

            RowLayout {
                Layout.fillWidth: true

                UiText {
                    text: root.text("STATUS", "DURUM")
                    font.pixelSize: 11
                    font.weight: Font.Medium
                    font.letterSpacing: 2
                    color: DesktopTheme.colors.secondaryText
                }

                Item {
                    Layout.fillWidth: true
                }

                UiText {
                    objectName: "account-status"
                    text: card.statusLabel
                    font.weight: Font.DemiBold
                    color: DesktopTheme.colors.primaryText
                }
            }

            Rectangle {
                objectName: "account-device-box"
                Layout.fillWidth: true
                implicitHeight: deviceLine.implicitHeight + 32
                radius: 12
                color: DesktopTheme.colors.inputBackground
                border.color: DesktopTheme.colors.inputBorder
                border.width: 1

                SubscriptionValueLine {
                    id: deviceLine
                    objectName: "account-device"
                    anchors.fill: parent
                    anchors.margins: 16
                    title: root.text("Device", "Cihaz")
                    value: card.deviceLabel
                }
            }

            UiText {
                objectName: "account-code"
                visible: root.isPresent(card.userCode)
                text: root.text("Code: ", "Kod: ") + (visible ? card.userCode : "")
                font.pixelSize: 18
                font.weight: Font.DemiBold
                color: DesktopTheme.colors.primaryText
            }

            UiText {
                objectName: "account-address"
                Layout.fillWidth: true
                visible: root.isPresent(card.verificationAddress)
                text: visible ? card.verificationAddress : ""
                wrapMode: Text.WrapAnywhere
                maximumLineCount: 2
                elide: Text.ElideRight
                font.pixelSize: 12
                color: DesktopTheme.colors.secondaryText
            }

            RowLayout {
                objectName: "account-linked-actions"
                visible: card.cardState === "linked"
                Layout.fillWidth: true
                spacing: 10

                Item {
                    Layout.fillWidth: true
                }

                HeaderDangerButton {
                    objectName: "account-sign-out"
                    title: root.text("Sign Out", "Çıkış Yap")
                    callback: function() { root.account.signOutBackendAccount() }
                }
            }

            RowLayout {
                objectName: "account-pending-actions"
                visible: card.cardState === "codePending"
                Layout.fillWidth: true
                spacing: 10

                HeaderSecondaryButton {
                    objectName: "account-open-browser"
                    title: root.text("Open in Browser", "Tarayıcıda Aç")
                    symbolName: "safari"
                    callback: function() { root.account.openSignInVerificationPage() }
                }

                HeaderGhostButton {
                    objectName: "account-check"
                    // Hidden, it stays disabled: a control enabled again takes back the focus it
                    // held, and a screen reader would name a control that is gone.
                    enabled: card.cardState === "codePending" && !card.isPolling
                    title: card.isPolling ? root.text("Checking", "Kontrol Ediliyor") : root.text("Check", "Kontrol Et")
                    symbolName: "checkmark.circle"
                    callback: function() { root.account.checkSignInApproval() }
                }

                Item {
                    Layout.fillWidth: true
                }
            }

            WideBlackButton {
                objectName: "account-connect"
                visible: card.cardState === "notLinked"
                // Hidden, it stays disabled, as Check does.
                enabled: card.cardState === "notLinked" && !card.isPolling
                title: card.isPolling ? root.text("Connecting", "Bağlanıyor") : root.text("Connect This Computer", "Bu Bilgisayarı Bağla")
                symbolName: "arrow.up.right.square"
                callback: function() { root.account.startBackendSignIn() }
            }
        }
    }

    RowLayout {
        objectName: "account-disclosures"
        Layout.fillWidth: true
        Layout.leftMargin: 4
        Layout.rightMargin: 4
        spacing: 18

        HeaderGhostButton {
            objectName: "account-cloud-disclosure"
            title: root.text("Cloud Disclosure", "Bulut Bilgilendirmesi")
            symbolName: "doc.text"
            callback: function() {
                DisclosureRequests.cloudOwner = root.Window.window
                root.viewModel.permissions.showingGroqDisclosureSheet = true
            }
        }

        HeaderGhostButton {
            objectName: "account-privacy"
            title: root.text("Privacy", "Gizlilik")
            symbolName: "hand.raised"
            callback: function() {
                DisclosureRequests.privacyOwner = root.Window.window
                root.viewModel.permissions.showingPrivacyDisclosureSheet = true
            }
        }

        Item {
            Layout.fillWidth: true
        }
    }
}
