import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import Quorvelle

// The dashboard window's content: the sidebar beside the scrolling detail column, in the theme the
// user chose, with the window's three sheets. The host puts it in the dashboard window and hands
// it the view model; everything the window keeps of its own is in `windowState`.
Item {
    id: root

    required property AppViewModel viewModel
    readonly property alias windowState: windowState
    readonly property bool turkish: viewModel.languageCode === "tr"
    readonly property string themeName: viewModel.preferences.selectedDesktopTheme
    readonly property var theme: DesktopTheme.colors
    // The light theme wants the light scheme; the two others the dark one.
    readonly property bool isDarkScheme: themeName !== "light"
    readonly property size designedSize: Qt.size(1270, 835)

    implicitWidth: designedSize.width
    implicitHeight: designedSize.height
    palette.window: theme.canvas
    palette.windowText: theme.primaryText
    palette.base: theme.inputBackground
    palette.text: theme.primaryText
    palette.button: theme.secondaryButtonFill
    palette.buttonText: theme.primaryText
    palette.placeholderText: theme.secondaryText
    palette.highlight: theme.primaryButtonFill
    palette.highlightedText: theme.darkButtonText

    MainWindowState {
        id: windowState
        viewModel: root.viewModel
    }

    Binding {
        target: DesktopTheme
        property: "colors"
        value: DesktopTheme.colorsFor(root.themeName)
    }

    Rectangle {
        anchors.fill: parent
        color: root.theme.canvas
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 1
            color: root.theme.divider
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 0

            DashboardSidebar {
                Layout.fillHeight: true
                windowState: windowState
                turkish: root.turkish
                languageCode: root.viewModel.languageCode
            }

            Rectangle {
                Layout.fillHeight: true
                implicitWidth: 1
                color: root.theme.divider
            }

            DetailColumn {
                Layout.fillWidth: true
                Layout.fillHeight: true
                viewModel: root.viewModel
                windowState: windowState
            }
        }
    }

    DisclosureSheetView {
        objectName: "cloud-disclosure-sheet"
        transientParent: root.Window.window
        title: DisclosureTexts.cloudTitle(root.turkish)
        bodyText: DisclosureTexts.cloudBody
        isPresented: root.viewModel.permissions.showingGroqDisclosureSheet
                     && DisclosureRequests.cloudOwner === root.Window.window
        onDismissRequested: root.viewModel.permissions.showingGroqDisclosureSheet = false
    }

    DisclosureSheetView {
        objectName: "privacy-disclosure-sheet"
        transientParent: root.Window.window
        title: DisclosureTexts.privacyTitle(root.turkish)
        bodyText: DisclosureTexts.privacyBody
        isPresented: root.viewModel.permissions.showingPrivacyDisclosureSheet
                     && DisclosureRequests.privacyOwner === root.Window.window
        onDismissRequested: root.viewModel.permissions.showingPrivacyDisclosureSheet = false
    }

    HotkeyCaptureSheet {
        objectName: "hotkey-capture-sheet"
        transientParent: root.Window.window
        isPresented: windowState.showingHotkeyCaptureSheet
        onDismissRequested: windowState.showingHotkeyCaptureSheet = false
        viewModel: root.viewModel
    }

    FocusRing {}

    // A screen lower than the designed size gets a window that fits it; the detail column scrolls.
    ScreenFit {
        window: root.Window.window
        designedSize: root.designedSize
    }

    // The window opens with its first control in the focus (the Overview section), so that the
    // keyboard, and a screen reader, start there; a control that holds the focus keeps it.
    StepFocus {
        id: opening
        window: root.Window.window
    }

    // Every showing of the window reads the stored settings again.
    Connections {
        target: root.Window.window

        function onVisibleChanged() {
            if (root.Window.window.visible) {
                root.viewModel.reloadSettings()
                opening.handOff(root)
            }
        }
    }
}
