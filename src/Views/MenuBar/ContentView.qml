import QtQuick
import QtQuick.Window
import Quorvelle

// The popover's root: the account panel while this computer still needs the account, the setup
// screen while setup is incomplete, else the ready state; each panel is made afresh when chosen.
// Over any of them it presents the two disclosure sheets bound to the view model's flags, and it
// reloads the settings whenever the application or the popover comes forward.
Item {
    id: root

    required property QtObject viewModel
    // The shell bridge: openDashboard() and quit().
    required property QtObject appShell

    readonly property bool turkish: viewModel.strings.languageCode === "tr"
    // "account", "onboarding" or "ready".
    readonly property string panel: {
        const account = viewModel.accountCopy
        if (account.hasBackendAuthSessionManager && !viewModel.onboardingStatus.hasAPIKey)
            return "account"
        return viewModel.onboardingStatus.isComplete ? "ready" : "onboarding"
    }

    implicitWidth: shownLoader.item ? shownLoader.item.implicitWidth : 360
    implicitHeight: shownLoader.item ? shownLoader.item.implicitHeight : 0

    readonly property Loader shownLoader: panel === "onboarding" ? onboardingLoader : panelLoader

    // No translucent material on X11: the popover is the plain window colour.
    Rectangle {
        anchors.fill: parent
        color: MenuStyle.window
    }

    Loader {
        id: panelLoader
        objectName: "popover-panel"
        width: root.width
        active: root.panel !== "onboarding"
        sourceComponent: root.panel === "account" ? accountPanel : readyPanel
    }

    // The setup screen is found by its file, so this root does not depend on it being built.
    Loader {
        id: onboardingLoader
        objectName: "popover-onboarding"
        width: root.width
        active: root.panel === "onboarding"
        onActiveChanged: load()
        Component.onCompleted: load()

        // The setup screen reads the view model itself, not the popover's flat reading of it.
        function load() {
            if (active && root.viewModel.appViewModel)
                setSource(Qt.resolvedUrl("../Onboarding/OnboardingView.qml"),
                          { viewModel: root.viewModel.appViewModel })
        }
    }

    Component {
        id: accountPanel

        MenuBarAccountRequiredView {
            viewModel: root.viewModel
            appShell: root.appShell
        }
    }

    Component {
        id: readyPanel

        ReadyStateView {
            viewModel: root.viewModel
            appShell: root.appShell
        }
    }

    DisclosureSheetView {
        objectName: "cloud-disclosure-sheet"
        transientParent: root.Window.window
        title: DisclosureTexts.cloudTitle(root.turkish)
        bodyText: DisclosureTexts.cloudBody
        isPresented: root.viewModel.showingGroqDisclosureSheet
        onDismissRequested: root.viewModel.showingGroqDisclosureSheet = false
    }

    DisclosureSheetView {
        objectName: "privacy-disclosure-sheet"
        transientParent: root.Window.window
        title: DisclosureTexts.privacyTitle(root.turkish)
        bodyText: DisclosureTexts.privacyBody
        isPresented: root.viewModel.showingPrivacyDisclosureSheet
        onDismissRequested: root.viewModel.showingPrivacyDisclosureSheet = false
    }

    Connections {
        target: Qt.application

        function onStateChanged() {
            if (Qt.application.state === Qt.ApplicationActive)
                root.viewModel.reloadSettings()
        }
    }

    // On X11 activation is loose: the popover showing counts as the application coming forward.
    Connections {
        target: root.Window.window

        function onVisibleChanged() {
            if (root.Window.window.visible)
                root.viewModel.reloadSettings()
        }
    }
}
