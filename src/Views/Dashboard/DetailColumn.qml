import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import Quorvelle

// The right-hand column: the page header, the status line when the view model has one, and the
// page of the selected section (the sign-in page while that section is locked). It scrolls, so a
// window lower than the designed size still reaches every control. Each section's page is made
// afresh when it is entered, at the top: a page's own state lasts only while it shows.
ScrollArea {
    id: root

    required property AppViewModel viewModel
    required property MainWindowState windowState
    readonly property var message: viewModel.inlineMessage

    objectName: "main-window-detail"
    contentHeight: container.implicitHeight + 24 + 28

    ScrollBar.vertical: ScrollBar {
        objectName: "main-window-scroll-bar"
        // Named as the page it moves; told apart from that section's sidebar tab.
        Accessible.name: root.windowState.pageTitle
        Accessible.description: root.viewModel.languageCode === "tr" ? "Sayfa" : "Page"
        policy: root.contentHeight > root.height ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
    }

    readonly property bool locked: windowState.isPageLocked

    Connections {
        target: root.windowState

        function onSelectedSectionChanged() {
            root.contentY = 0
        }
    }

    // The approved sign-in lifts the lock and takes the sign-in page, with its focused button, away:
    // the section's own page takes the focus.
    onLockedChanged: {
        if (!locked)
            stepFocus.handOff(pageLoader)
    }

    StepFocus {
        id: stepFocus
        window: root.Window.window
        keyboardOnly: true
    }

    Rectangle {
        parent: root
        z: -1
        anchors.fill: parent
        color: DesktopTheme.colors.contentBackground
    }

    ColumnLayout {
        id: container

        objectName: "main-window-page-" + root.windowState.selectedSection
        x: 36
        y: 24
        width: root.width - 72
        spacing: 16

        PageHeaderCard {
            objectName: "main-window-page-header"
            title: root.windowState.pageTitle
            subtitle: root.windowState.pageSubtitle
            symbolName: root.windowState.pageSymbol
        }

        InlineInfoBanner {
            objectName: "main-window-inline-message"
            visible: root.message !== null && root.message !== undefined
            message: visible ? root.message : ""
        }

        Loader {
            id: pageLoader
            objectName: "main-window-page-loader"
            Layout.fillWidth: true
            sourceComponent: root.windowState.isPageLocked ? lockedPage : root.pageOf(root.windowState.selectedSection)
        }
    }

    function pageOf(section) {
        switch (section) {
        case "overview": return overviewPage
        case "history": return historyPage
        case "dictionary": return dictionaryPage
        case "snippets": return snippetsPage
        case "instructions": return instructionsPage
        case "shortcuts": return shortcutsPage
        case "subscription": return subscriptionPage
        case "settings": return settingsPage
        case "appearance": return appearancePage
        case "changelog": return changelogPage
        }
        return null
    }

    Component {
        id: lockedPage
        BackendAccountRequiredPage {
            viewModel: root.viewModel
            windowState: root.windowState
        }
    }
    Component {
        id: overviewPage
        OverviewPage {
            viewModel: root.viewModel
            windowState: root.windowState
        }
    }
    Component {
        id: historyPage
        HistoryPage {
            viewModel: root.viewModel
            windowState: root.windowState
        }
    }
    Component {
        id: dictionaryPage
        DictionaryPage {
            viewModel: root.viewModel
            windowState: root.windowState
        }
    }
    Component {
        id: snippetsPage
        SnippetsPage {
            viewModel: root.viewModel
            windowState: root.windowState
        }
    }
    Component {
        id: instructionsPage
        InstructionsPage {
            viewModel: root.viewModel
            windowState: root.windowState
        }
    }
    Component {
        id: shortcutsPage
        ShortcutsPage {
            viewModel: root.viewModel
            windowState: root.windowState
        }
    }
    Component {
        id: subscriptionPage
        SubscriptionPage {
            viewModel: root.viewModel
            windowState: root.windowState
        }
    }
    Component {
        id: settingsPage
        SettingsPage {
            viewModel: root.viewModel
            windowState: root.windowState
        }
    }
    Component {
        id: appearancePage
        AppearancePage {
            viewModel: root.viewModel
            windowState: root.windowState
        }
    }
    Component {
        id: changelogPage
        ChangelogPage {
            viewModel: root.viewModel
            windowState: root.windowState
        }
    }
}
