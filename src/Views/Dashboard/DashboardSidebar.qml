import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quorvelle

// The dashboard's left column: the product and its build identity, the ten sections, the account
// shortcut and the collapse toggle. 214 wide, or a 68-wide rail of symbols when collapsed.
Rectangle {
    id: root

    required property MainWindowState windowState
    property bool turkish: false
    property string languageCode: "en"
    readonly property bool collapsed: windowState.isSidebarCollapsed
    readonly property var theme: DesktopTheme.colors

    objectName: "dashboard-sidebar"
    implicitWidth: collapsed ? 68 : 214
    clip: true
    color: theme.sidebarBackground

    Behavior on implicitWidth {
        enabled: Motion.enabled
        NumberAnimation {
            duration: 180
            easing.type: Easing.InOutQuad
        }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowLayout {
            Layout.leftMargin: 14
            Layout.rightMargin: 14
            Layout.topMargin: 18
            Layout.bottomMargin: 18
            spacing: 12

            QuorvelleLogoMark {
                compact: false
            }

            ColumnLayout {
                visible: !root.collapsed
                spacing: 2

                UiText {
                    text: "Quorvelle"
                    font.pixelSize: 15
                    font.weight: Font.DemiBold
                    color: root.theme.primaryText
                }

                UiText {
                    objectName: "sidebar-version"
                    text: SidebarIdentity.versionLabel
                    font.pixelSize: 11
                    font.weight: Font.Medium
                    color: root.theme.secondaryText
                }

                AppIdentityBadge {
                    objectName: "sidebar-identity-badge"
                    Layout.topMargin: 3
                    label: SidebarIdentity.badgeLabel
                    status: SidebarIdentity.badgeStatus
                    helpText: SidebarIdentity.helpText
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 1
            color: root.theme.divider
        }

        // The sections take the height left between header and footer. Where a low window (a 1024 x
        // 600 screen) leaves them too little, the rows close up so that the last one is not left
        // half under the footer; lower still, they scroll, and a section reached by the keyboard
        // scrolls into view.
        ScrollArea {
            id: sectionScroller

            // The rows' height with their full padding, whether or not they have it now.
            readonly property real roomyHeight: contentHeight + (tight ? 6 * DashboardSections.all.length : 0)
            property bool tight: false

            function fitRows() {
                tight = roomyHeight > height
            }

            objectName: "sidebar-sections"
            scrollBarName: root.turkish ? "Bölümler" : "Sections"
            Layout.fillWidth: true
            Layout.fillHeight: true
            contentHeight: sections.implicitHeight + 12
            interactive: contentHeight > height
            onHeightChanged: Qt.callLater(fitRows)
            onRoomyHeightChanged: Qt.callLater(fitRows)

            ColumnLayout {
                id: sections
                x: 8
                y: 12
                width: sectionScroller.width - 16
                spacing: 3

                Repeater {
                    model: DashboardSections.all

                    SidebarButton {
                        required property string modelData

                        section: modelData
                        title: DashboardSections.title(modelData, root.languageCode)
                        isSelected: root.windowState.selectedSection === modelData
                        isDisabled: root.windowState.isSignedOut
                        isCollapsed: root.collapsed
                        isTight: sectionScroller.tight
                        callback: () => root.windowState.selectSection(modelData)
                    }
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 1
            color: root.theme.divider
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 16
            Layout.rightMargin: 16
            Layout.topMargin: 18
            Layout.bottomMargin: 18
            spacing: 12

            AbstractButton {
                id: account

                readonly property string name: root.turkish ? "Hesap" : "Account"

                objectName: "sidebar-account-shortcut"
                visible: !root.collapsed
                Layout.fillWidth: true
                hoverEnabled: true
                Accessible.role: Accessible.Button
                Accessible.name: name
                Accessible.description: root.windowState.accountSectionTitle + ", " + root.windowState.connectionSummary
                ToolTip.text: name
                ToolTip.visible: hovered
                onClicked: root.windowState.showAccount()
                Keys.onReturnPressed: account.clicked()
                Keys.onEnterPressed: account.clicked()

                background: null
                contentItem: RowLayout {
                    spacing: 12

                    Rectangle {
                        implicitWidth: 34
                        implicitHeight: 34
                        radius: 17
                        color: root.theme.avatarFill

                        UiText {
                            anchors.centerIn: parent
                            text: "QV"
                            font.pixelSize: 12
                            font.weight: Font.Medium
                            color: root.theme.primaryText
                        }
                    }

                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: 2

                        UiText {
                            objectName: "sidebar-account-title"
                            Layout.fillWidth: true
                            text: root.windowState.accountSectionTitle
                            font.pixelSize: 14
                            font.weight: Font.Medium
                            color: root.theme.primaryText
                            maximumLineCount: 1
                            elide: Text.ElideRight
                        }

                        UiText {
                            objectName: "sidebar-account-summary"
                            Layout.fillWidth: true
                            text: root.windowState.connectionSummary
                            font.pixelSize: 12
                            color: root.theme.secondaryText
                            maximumLineCount: 1
                            elide: Text.ElideRight
                        }
                    }
                }
            }

            AbstractButton {
                id: toggle

                readonly property string name: root.collapsed ? (root.turkish ? "Genişlet" : "Expand")
                                                              : (root.turkish ? "Daralt" : "Collapse")

                objectName: "sidebar-collapse-toggle"
                hoverEnabled: true
                Accessible.role: Accessible.Button
                Accessible.name: name
                ToolTip.text: name
                ToolTip.visible: hovered
                onClicked: root.windowState.toggleSidebar()
                Keys.onReturnPressed: toggle.clicked()
                Keys.onEnterPressed: toggle.clicked()

                background: null
                contentItem: RowLayout {
                    spacing: root.collapsed ? 0 : 8

                    Icon {
                        Layout.preferredHeight: 28
                        Layout.preferredWidth: root.collapsed ? 32 : implicitWidth
                        name: root.collapsed ? "chevron.right" : "chevron.left"
                        size: 12
                        font.weight: Font.Medium
                        color: root.theme.secondaryText
                    }

                    UiText {
                        visible: !root.collapsed
                        text: root.turkish ? "Daralt" : "Collapse"
                        color: root.theme.secondaryText
                    }
                }
            }
        }
    }
}
