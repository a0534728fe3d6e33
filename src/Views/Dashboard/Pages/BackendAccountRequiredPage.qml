import QtQuick
import QtQuick.Layouts
import Quorvelle

// What a locked section shows until this computer is connected to an account: the device-code
// sign-in, run from here, and the features that wait for it. Every button is one view-model call;
// when the approval arrives the lock lifts and the section's own page takes this one's place.
ColumnLayout {
    id: root

    required property AppViewModel viewModel
    required property MainWindowState windowState
    readonly property AccountViewModel account: viewModel.account
    readonly property bool turkish: viewModel.languageCode === "tr"
    readonly property var challenge: account.backendAuthChallenge
    readonly property bool hasChallenge: challenge !== null && challenge !== undefined
    readonly property bool polling: account.isBackendAuthActionRunning
    readonly property string verificationText: hasChallenge ? String(challenge.verificationURL) : ""

    objectName: "sign-in-required-page"
    spacing: 16

    function text(english, turkish) {
        return root.turkish ? turkish : english
    }

    SurfaceCard {
        ColumnLayout {
            Layout.fillWidth: true
            spacing: 18

            RowLayout {
                Layout.fillWidth: true
                spacing: 14

                Rectangle {
                    Layout.alignment: Qt.AlignTop
                    implicitWidth: 44
                    implicitHeight: 44
                    radius: 10
                    color: DesktopTheme.colors.headerIconBackground

                    Icon {
                        anchors.centerIn: parent
                        name: "person.crop.circle.badge.plus"
                        size: 20
                        color: DesktopTheme.colors.primaryText
                    }
                }

                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 6

                    UiText {
                        objectName: "sign-in-title"
                        text: root.windowState.accountRequiredTitle
                        font.pixelSize: 20
                        font.weight: Font.DemiBold
                        color: DesktopTheme.colors.primaryText
                    }

                    UiText {
                        Layout.fillWidth: true
                        text: root.windowState.accountRequiredMessage
                        wrapMode: Text.Wrap
                        color: DesktopTheme.colors.secondaryText
                    }
                }
            }

            ColumnLayout {
                objectName: "sign-in-approval"
                visible: root.hasChallenge
                Layout.fillWidth: true
                spacing: 8

                UiText {
                    text: root.text("APPROVAL CODE", "ONAY KODU")
                    font.pixelSize: 11
                    font.weight: Font.Medium
                    font.letterSpacing: 2
                    color: DesktopTheme.colors.secondaryText
                }

                UiText {
                    objectName: "sign-in-user-code"
                    text: root.hasChallenge ? root.challenge.userCode : ""
                    font.family: Fonts.mono
                    font.pixelSize: 30
                    font.weight: Font.DemiBold
                    color: DesktopTheme.colors.primaryText
                }

                UiText {
                    visible: root.verificationText.length > 0
                    Layout.fillWidth: true
                    text: root.verificationText
                    font.pixelSize: 12
                    wrapMode: Text.WrapAnywhere
                    maximumLineCount: 2
                    elide: Text.ElideRight
                    color: DesktopTheme.colors.secondaryText
                }
            }

            RowLayout {
                spacing: 10

                PrimaryActionButton {
                    objectName: "sign-in-start"
                    title: root.polling ? root.text("Signing In", "Giriş Yapılıyor") : root.text("Sign In", "Giriş Yap")
                    symbolName: "arrow.up.right.square"
                    enabled: !root.polling
                    opacity: root.polling ? 0.6 : 1
                    callback: () => root.account.startBackendSignIn()
                }

                HeaderGhostButton {
                    objectName: "sign-in-open-web"
                    title: root.text("Open Web Login", "Web Girişini Aç")
                    symbolName: "safari"
                    enabled: root.hasChallenge
                    opacity: root.hasChallenge ? 1 : 0.55
                    callback: () => root.account.openSignInVerificationPage()
                }

                HeaderGhostButton {
                    objectName: "sign-in-check"
                    title: root.text("Check Now", "Şimdi Kontrol Et")
                    symbolName: "checkmark.circle"
                    enabled: root.hasChallenge && !root.polling
                    opacity: root.hasChallenge ? 1 : 0.55
                    callback: () => root.account.checkSignInApproval()
                }

                HeaderDangerButton {
                    objectName: "sign-in-sign-out"
                    visible: !root.windowState.isSignedOut
                    title: root.text("Sign Out", "Çıkış Yap")
                    callback: () => root.account.signOutBackendAccount()
                }
            }
        }
    }

    SurfaceCard {
        ColumnLayout {
            Layout.fillWidth: true
            spacing: 12

            SectionHeading {
                symbolName: "lock"
                title: root.text("Locked until sign in", "Giriş tamamlanana kadar kilitli")
                subtitle: root.text("Recording, history, dictionary and shortcuts stay disabled until the web approval completes.",
                                    "Kayıt, geçmiş, sözlük ve kısayollar web onayı tamamlanana kadar devre dışı kalır.")
            }

            RowLayout {
                objectName: "sign-in-locked-features"
                spacing: 10

                LockedFeaturePill {
                    title: "Transcription"
                }
                LockedFeaturePill {
                    title: root.text("History", "Geçmiş")
                }
                LockedFeaturePill {
                    title: root.text("Dictionary", "Sözlük")
                }
                LockedFeaturePill {
                    title: root.text("Shortcuts", "Kısayollar")
                }
            }
        }
    }
}
