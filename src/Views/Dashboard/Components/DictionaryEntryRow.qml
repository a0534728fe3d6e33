import QtQuick
import QtQuick.Layouts
import Quorvelle

// One saved dictionary replacement: "original → replacement", its category and the date it was
// last changed. `entry` is { id, original, replacement, category, updatedAt (a date) }; Edit and
// Delete call their action with the entry's id.
SavedItemRow {
    id: root

    property var entry: ({ id: "", original: "", replacement: "", category: "", updatedAt: new Date(NaN) })

    itemId: entry.id
    subject: entry.original

    ColumnLayout {
        Layout.fillWidth: true
        spacing: 12

        UiText {
            objectName: "dictionary-pair"
            Layout.fillWidth: true
            text: root.entry.original + " → " + root.entry.replacement
            wrapMode: Text.Wrap
            font.pixelSize: 14
            font.weight: Font.Medium
            color: DesktopTheme.colors.primaryText
        }

        RowLayout {
            spacing: 10

            MetadataPill {
                objectName: "dictionary-category"
                title: root.entry.category.length > 0
                       ? root.entry.category
                       : DashboardTexts.localized(root.languageCode, "Uncategorized", "Kategorisiz")
            }

            MetadataPill {
                objectName: "dictionary-updated"
                title: DashboardTexts.localized(root.languageCode, "Updated ", "Güncellendi ")
                       + DashboardTexts.shortNumericDate(root.entry.updatedAt)
            }
        }
    }
}
