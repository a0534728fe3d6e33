import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quorvelle

// The popover while this computer still has to be connected to the user's account: the device-code
// sign-in driven from the tray, with the update check and Quit.
Item {
    id: root

    required property QtObject viewModel
    required property QtObject appShell
    readonly property bool turkish: viewModel.strings.languageCode === "tr"
    readonly property var challenge: viewModel.accountCopy.backendAuthChallenge || null

    implicitWidth: 360
    implicitHeight: column.implicitHeight + 32

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
                    text: root.viewModel.accountCopy.accountRequiredTitle
                    font: MenuType.headline
                    color: MenuStyle.text
                }
            }

            UiText {
                objectName: "account-message"
                Layout.fillWidth: true
                text: root.viewModel.accountCopy.accountRequiredMessage
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
                enabled: !root.viewModel.isBackendAuthPolling
                text: root.turkish ? "Giriş Yap" : "Sign In"
                onClicked: root.viewModel.startBackendSignIn()
            }

            PopoverButton {
                objectName: "account-open"
                visible: root.challenge !== null
                text: root.turkish ? "Aç" : "Open"
                onClicked: root.viewModel.openSignInVerificationPage()
            }

            PopoverButton {
                objectName: "account-check"
                visible: root.challenge !== null
                enabled: !root.viewModel.isBackendAuthPolling
                text: root.turkish ? "Kontrol Et" : "Check"
                onClicked: root.viewModel.checkSignInApproval()
            }

            Item {
                Layout.fillWidth: true
            }

            PopoverButton {
                objectName: "account-updates"
                enabled: root.viewModel.canCheckForUpdates
                text: root.turkish ? "Güncelle" : "Updates"
                onClicked: root.viewModel.checkForUpdates()
            }

            PopoverButton {
                objectName: "account-quit"
                text: root.turkish ? "Çık" : "Quit"
                onClicked: root.appShell.quit()
            }
        }
    }
}
