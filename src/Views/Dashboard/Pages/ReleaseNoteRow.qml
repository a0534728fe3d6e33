import QtQuick
import QtQuick.Layouts
import Quorvelle

// One release on the timeline: the rail, the version line with channel and date, the summary when
// there is one, and each category's heading over its items.
RowLayout {
    id: root

    // { version, channel, date, summary, categories: [{ heading, items }] }
    property var entry: ({})

    Layout.fillWidth: true
    spacing: 0

    Rectangle {
        Layout.fillHeight: true
        Layout.topMargin: 4
        Layout.bottomMargin: 4
        implicitWidth: 1
        color: DesktopTheme.colors.divider
    }

    ColumnLayout {
        Layout.fillWidth: true
        Layout.leftMargin: 22
        spacing: 12

        RowLayout {
            spacing: 10

            UiText {
                objectName: "release-version"
                Layout.alignment: Qt.AlignBaseline
                text: "v" + root.entry.version
                font.pixelSize: 16
                font.weight: Font.DemiBold
                color: DesktopTheme.colors.primaryText
            }
            UiText {
                objectName: "release-channel"
                Layout.alignment: Qt.AlignBaseline
                text: root.entry.channel
                font.capitalization: Font.AllUppercase
                font.pixelSize: 12
                font.weight: Font.Medium
                font.letterSpacing: 1.2
                color: DesktopTheme.colors.secondaryText
            }
            UiText {
                objectName: "release-date"
                Layout.alignment: Qt.AlignBaseline
                text: root.entry.date
                font.pixelSize: 14
                color: DesktopTheme.colors.secondaryText
            }
        }

        UiText {
            objectName: "release-summary"
            Layout.fillWidth: true
            visible: root.entry.summary !== ""
            text: root.entry.summary
            wrapMode: Text.Wrap
            font.pixelSize: 15
            color: DesktopTheme.colors.primaryText
        }

        Repeater {
            model: root.entry.categories

            ColumnLayout {
                id: category

                required property var modelData

                Layout.fillWidth: true
                spacing: 8

                UiText {
                    objectName: "release-category-heading"
                    text: category.modelData.heading
                    font.pixelSize: 12
                    font.weight: Font.Medium
                    font.letterSpacing: 1.8
                    color: DesktopTheme.colors.secondaryText
                }

                Repeater {
                    model: category.modelData.items

                    RowLayout {
                        id: line

                        required property string modelData

                        Layout.fillWidth: true
                        spacing: 10

                        UiText {
                            Layout.alignment: Qt.AlignTop
                            text: "-"
                            font.pixelSize: 16
                            color: DesktopTheme.colors.primaryText
                        }
                        UiText {
                            Layout.fillWidth: true
                            text: line.modelData
                            wrapMode: Text.Wrap
                            font.pixelSize: 15
                            color: DesktopTheme.colors.primaryText
                        }
                    }
                }
            }
        }
    }
}
