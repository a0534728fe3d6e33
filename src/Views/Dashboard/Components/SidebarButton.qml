import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Templates as T
import Quorvelle

// One row of the dashboard sidebar: a section's symbol and title, filled when its page is shown.
// Collapsed, only the symbol shows; the title stays as the tooltip and the accessible name.
// Screen readers read the rows as tabs, the shown one selected; Space or Return opens one.
T.TabButton {
    id: root

    property string title
    property var callback: null
    property string section
    property bool isSelected: false
    property bool isDisabled: false
    property bool isCollapsed: false
    // Three points less above and below, where a low window leaves the list too little room.
    property bool isTight: false

    readonly property color foreground: isSelected ? DesktopTheme.colors.primaryText
                                                   : DesktopTheme.colors.secondaryText

    objectName: "main-window-section-" + section
    enabled: !isDisabled
    opacity: isDisabled ? 0.45 : 1
    hoverEnabled: true
    Layout.fillWidth: !isCollapsed
    leftPadding: isCollapsed ? 6 : 14
    rightPadding: isCollapsed ? 6 : 14
    topPadding: (isCollapsed ? 5 : 9) - (isTight ? 3 : 0)
    bottomPadding: (isCollapsed ? 5 : 9) - (isTight ? 3 : 0)
    implicitWidth: Math.ceil(implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: Math.ceil(implicitContentHeight + topPadding + bottomPadding)
    focusPolicy: Qt.TabFocus
    autoExclusive: false
    checked: isSelected
    Accessible.name: title
    Accessible.selectable: true
    Accessible.selected: isSelected
    Keys.onReturnPressed: root.clicked()
    Keys.onEnterPressed: root.clicked()

    // The page shown decides the mark, not the click.
    onClicked: {
        root.checked = Qt.binding(() => root.isSelected)
        if (typeof root.callback === "function")
            root.callback()
    }

    // Beside the row, not above it: a tip over the row above would hide the next section the
    // pointer is heading for.
    ToolTip {
        objectName: root.objectName + "-tooltip"
        x: root.width + 6
        y: Math.round((root.height - height) / 2)
        text: root.title
        visible: root.hovered && root.title.length > 0
    }

    contentItem: RowLayout {
        spacing: root.isCollapsed ? 0 : 12

        // A 16-wide column for the symbol, or a 32 square when collapsed.
        Icon {
            Layout.preferredWidth: root.isCollapsed ? 32 : 16
            Layout.preferredHeight: root.isCollapsed ? 32 : -1
            name: DashboardSections.symbolName(root.section)
            size: 15
            color: root.foreground
        }

        UiText {
            visible: !root.isCollapsed
            text: root.title
            font.pixelSize: 14
            color: root.foreground
        }

        Item {
            visible: !root.isCollapsed
            Layout.fillWidth: true
        }
    }

    background: Rectangle {
        radius: 8
        color: root.isSelected ? DesktopTheme.colors.sidebarSelection : "transparent"
    }
}
