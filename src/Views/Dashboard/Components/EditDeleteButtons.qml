import QtQuick
import QtQuick.Layouts
import Quorvelle

// The Edit and Delete buttons that end every saved dictionary or snippet row. Both call their
// action with the row's `itemId`; what a delete does (and whether it asks first) is the page's.
RowLayout {
    id: root

    property string languageCode: "en"
    property var itemId
    // The row's own words, which tell its buttons from the other rows' to a screen reader.
    property string subject
    property var editAction: null
    property var deleteAction: null

    spacing: 10

    SecondaryActionButton {
        objectName: "edit-button"
        title: DashboardTexts.localized(root.languageCode, "Edit", "Düzenle")
        symbolName: "pencil"
        Accessible.description: DashboardTexts.buttonDescription(root.languageCode, title, root.subject)
        callback: function() {
            if (typeof root.editAction === "function")
                root.editAction(root.itemId)
        }
    }

    DangerActionButton {
        objectName: "delete-button"
        title: DashboardTexts.localized(root.languageCode, "Delete", "Sil")
        symbolName: "trash"
        Accessible.description: DashboardTexts.buttonDescription(root.languageCode, title, root.subject)
        callback: function() {
            if (typeof root.deleteAction === "function")
                root.deleteAction(root.itemId)
        }
    }
}
