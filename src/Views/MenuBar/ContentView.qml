import QtQuick
import QtQuick.Window
import Quorvelle

// The popover's root: the account panel while this computer still needs the account, the setup
// screen while setup is incomplete, else the ready state; each panel is made afresh when chosen.
// Over any of them it presents the two disclosure sheets bound to the view model's flags, and it
// reloads the settings whenever the application or the popover comes forward.
Item {
    id: root

    required property AppViewModel viewModel
    // The shell bridge: openDashboard() and quit().
    required property QtObject appShell

    readonly property bool turkish: viewModel.languageCode === "tr"
    readonly property PermissionsViewModel permissions: viewModel.permissions
    // "account", "onboarding" or "ready".
    readonly property string panel: signIn.isSignedOut ? "account"
                                                       : permissions.onboardingStatus.isComplete ? "ready" : "onboarding"

    implicitWidth: panelLoader.item ? panelLoader.item.implicitWidth : 360
    implicitHeight: panelLoader.item ? panelLoader.item.implicitHeight : 0
    // The host may give less height than asked for: the panels scroll what does not fit. Escape
    // closes the popover from any control that does not take it for itself.
    focus: true
    Keys.onEscapePressed: root.Window.window.hide()
    palette.window: MenuStyle.window
    palette.windowText: MenuStyle.text
    palette.base: MenuStyle.theme.inputBackground
    palette.text: MenuStyle.text
    palette.button: MenuStyle.theme.cardFill
    palette.buttonText: MenuStyle.text
    palette.highlight: MenuStyle.theme.primaryButtonFill
    palette.highlightedText: MenuStyle.theme.darkButtonText

    // The popover wears the dashboard's theme.
    Binding {
        target: DesktopTheme
        property: "colors"
        value: DesktopTheme.colorsFor(root.viewModel.preferences.selectedDesktopTheme)
    }

    // The dashboard's sign-in lock: this computer still has to be connected to the account.
    MainWindowState {
        id: signIn
        viewModel: root.viewModel
    }

    // No translucent material on X11: the popover is the plain window colour.
    Rectangle {
        anchors.fill: parent
        color: MenuStyle.window
    }

    Loader {
        id: panelLoader
        objectName: "popover-panel"
        width: root.width
        height: root.height
        sourceComponent: root.panel === "account" ? accountPanel
                                                  : root.panel === "onboarding" ? onboardingPanel : readyPanel
        // The panel left took the focused control with it (Check after the sign-in was approved,
        // the last Accept of the setup): the next panel's first control takes the focus.
        onLoaded: stepFocus.handOff(panelLoader)
    }

    StepFocus {
        id: stepFocus
        window: root.Window.window
        keyboardOnly: true
    }

    // The panel opens on its first control, and Shift+Tab from there does not go round to Quit.
    FocusChainStart {
        id: chainStart
        scope: panelLoader
    }

    Component {
        id: accountPanel

        MenuBarAccountRequiredView {
            viewModel: root.viewModel
            appShell: root.appShell
        }
    }

    Component {
        id: onboardingPanel

        OnboardingView {
            viewModel: root.viewModel
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
        isPresented: root.permissions.showingGroqDisclosureSheet
                     && DisclosureRequests.cloudOwner === root.Window.window
        onDismissRequested: root.permissions.showingGroqDisclosureSheet = false
    }

    DisclosureSheetView {
        objectName: "privacy-disclosure-sheet"
        transientParent: root.Window.window
        title: DisclosureTexts.privacyTitle(root.turkish)
        bodyText: DisclosureTexts.privacyBody
        isPresented: root.permissions.showingPrivacyDisclosureSheet
                     && DisclosureRequests.privacyOwner === root.Window.window
        onDismissRequested: root.permissions.showingPrivacyDisclosureSheet = false
    }

    FocusRing {}

    // Escape puts the popover away. Its sheets are windows of their own and take their Escape first.
    Shortcut {
        sequence: "Escape"
        onActivated: root.Window.window.hide()
    }

    Connections {
        target: Qt.application

        function onStateChanged() {
            if (Qt.application.state === Qt.ApplicationActive)
                root.viewModel.reloadSettings()
        }
    }

    // On X11 activation is loose: the popover showing counts as the application coming forward.
    // Shown, it puts the focus on the first control of the panel that the reload chose.
    Connections {
        target: root.Window.window

        function onVisibleChanged() {
            if (!root.Window.window.visible)
                return
            root.viewModel.reloadSettings()
            chainStart.focusFirst()
        }
    }
}
