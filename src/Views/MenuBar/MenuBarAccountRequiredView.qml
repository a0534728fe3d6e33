import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import Quorvelle

// The popover while this computer still has to be connected to the user's account: the device-code
// sign-in driven from the tray, with the update check and Quit.
Item {
    id: root

    required property AppViewModel viewModel
    required property QtObject appShell
    readonly property bool turkish: viewModel.languageCode === "tr"
    readonly property AccountViewModel account: viewModel.account
    // The pending sign-in, or null.
    readonly property var challenge: account.backendAuthChallenge

    implicitWidth: 360

    // The dashboard's reading of the sign-in notice.
    MainWindowState {
        id: signIn
        viewModel: root.viewModel
    }

    implicitHeight: column.implicitHeight + 32

    // A code that ends (expired, already used) hides Open and Check, the focused one too: Sign In
    // takes the focus.
    onChallengeChanged: {
        if (challenge === null)
            stepFocus.handOff(column)
    }

    StepFocus {
        id: stepFocus
        window: root.Window.window
        keyboardOnly: true
    }

    ColumnLayout {
        id: column
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
                    name: "lock"
                    size: MenuType.headline.pixelSize
                    color: MenuStyle.text
                }

                UiText {
                    objectName: "account-title"
                    text: signIn.accountRequiredTitle
                    font: MenuType.headline
                    color: MenuStyle.text
                }
            }

            UiText {
                objectName: "account-message"
                Layout.fillWidth: true
                text: signIn.accountRequiredMessage
                wrapMode: Text.Wrap
                font: MenuType.body
                color: MenuStyle.secondary
            }
        }

        InlineMessageBlock {
            Layout.fillWidth: true
            message: root.viewModel.inlineMessage || ""
        }

        PopoverDivider {}

        ColumnLayout {
            objectName: "account-approval"
            visible: root.challenge !== null
            spacing: 4

            UiText {
                text: root.turkish ? "Onay kodu" : "Approval code"
                font: MenuType.caption
                color: MenuStyle.secondary
            }

            UiText {
                objectName: "account-approval-code"
                text: root.challenge ? root.challenge.userCode : ""
                font.family: Fonts.mono
                font.pixelSize: 22
                font.weight: Font.DemiBold
                color: MenuStyle.text
            }
        }

        RowLayout {
            Layout.fillWidth: true

            PopoverButton {
                objectName: "account-sign-in"
                highlighted: true
                enabled: !root.account.isBackendAuthActionRunning
                text: root.turkish ? "Giriş Yap" : "Sign In"
                onClicked: root.account.startBackendSignIn()
            }

            PopoverButton {
                objectName: "account-open"
                visible: root.challenge !== null
                text: root.turkish ? "Aç" : "Open"
                onClicked: root.account.openSignInVerificationPage()
            }

            PopoverButton {
                objectName: "account-check"
                visible: root.challenge !== null
                // Hidden, it stays disabled: enabled again, it would take back the focus it held.
                enabled: root.challenge !== null && !root.account.isBackendAuthActionRunning
                text: root.turkish ? "Kontrol Et" : "Check"
                onClicked: root.account.checkSignInApproval()
            }

            Item {
                Layout.fillWidth: true
            }

            PopoverButton {
                objectName: "account-updates"
                enabled: root.account.canCheckForUpdates
                text: root.turkish ? "Güncelle" : "Updates"
                onClicked: root.account.checkForUpdates()
            }

            PopoverButton {
                objectName: "account-quit"
                text: root.turkish ? "Çık" : "Quit"
                onClicked: root.appShell.quit()
            }
        }
    }
}
