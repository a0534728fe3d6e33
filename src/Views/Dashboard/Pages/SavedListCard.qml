import QtQuick
import QtQuick.Layouts
import Quorvelle

// The saved-list card of the dictionary and snippets pages: title with the number of matches,
// subtitle, the search field with its refresh button, then the rows (the card's content) or the
// dashed empty box when nothing matches.
SurfaceCard {
    id: root

    property string languageCode: "en"
    property string title
    property int count
    property string subtitle
    property string searchQuery
    property string searchPlaceholder
    property string emptyMessage
    property var refreshAction: null
    signal searchEdited(string text)
    default property alias rows: rowsColumn.data

    ColumnLayout {
        Layout.fillWidth: true
        spacing: 16

        RowLayout {
            Layout.fillWidth: true

            ColumnLayout {
                Layout.alignment: Qt.AlignTop
                spacing: 4

                UiText {
                    objectName: "saved-list-title"
                    text: root.title + " (" + root.count + ")"
                    font.pixelSize: 18
                    font.weight: Font.DemiBold
                    color: DesktopTheme.colors.primaryText
                }

                UiText {
                    text: root.subtitle
                    color: DesktopTheme.colors.secondaryText
                }
            }

            Item {
                Layout.fillWidth: true
            }

            RowLayout {
                Layout.alignment: Qt.AlignTop
                spacing: 8

                SearchField {
                    objectName: "saved-list-search"
                    text: root.searchQuery
                    placeholder: root.searchPlaceholder
                    onEdited: text => root.searchEdited(text)
                }

                IconSquareButton {
                    objectName: "saved-list-refresh"
                    Accessible.role: Accessible.Button
                    title: DashboardTexts.localized(root.languageCode, "Refresh", "Yenile")
                    symbolName: "arrow.clockwise"
                    callback: root.refreshAction
                }
            }
        }

        Item {
            objectName: "saved-list-empty"
            Layout.fillWidth: true
            implicitHeight: 98
            visible: root.count === 0

            DashedOutline {
                anchors.fill: parent
                radius: 14
            }

            UiText {
                anchors.centerIn: parent
                width: Math.min(implicitWidth, parent.width - 32)
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                text: root.emptyMessage
                font.pixelSize: 14
                color: DesktopTheme.colors.secondaryText
            }
        }

        ColumnLayout {
            id: rowsColumn
            objectName: "saved-list-rows"
            Layout.fillWidth: true
            visible: root.count > 0
            spacing: 10
        }
    }
}
