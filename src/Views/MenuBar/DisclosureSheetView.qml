import QtQuick
import QtQuick.Controls
import QtQuick.Window
import Quorvelle

// A disclosure text in a modal sheet of its owner's window, shown while `isPresented`. Escape and
// the window's close control ask the owner to dismiss it with `dismissRequested`; it never hides
// itself, so the owner's flag stays the one truth.
Window {
    id: sheet

    required property string title
    required property string bodyText
    property bool isPresented: false

    signal dismissRequested()

    visible: isPresented
    flags: Qt.Dialog
    modality: Qt.WindowModal
    width: 380
    height: 260
    minimumWidth: 380
    maximumWidth: 380
    minimumHeight: 260
    maximumHeight: 260
    color: MenuStyle.window
    palette.window: MenuStyle.window
    palette.windowText: MenuStyle.text
    palette.base: MenuStyle.theme.inputBackground
    palette.text: MenuStyle.text
    palette.button: MenuStyle.theme.cardFill
    palette.buttonText: MenuStyle.text
    palette.highlight: MenuStyle.theme.primaryButtonFill
    palette.highlightedText: MenuStyle.theme.darkButtonText
    onClosing: close => {
        close.accepted = false
        sheet.dismissRequested()
    }

    ScrollView {
        id: scroll
        anchors.fill: parent
        contentWidth: availableWidth
        ScrollBar.vertical: ScrollBar {
            parent: scroll
            x: scroll.width - width
            height: scroll.availableHeight
            policy: ScrollBar.AlwaysOn
            Accessible.name: sheet.title
        }
        // The text wraps: nothing scrolls sideways, and no second bar is read out.
        ScrollBar.horizontal: ScrollBar {
            policy: ScrollBar.AlwaysOff
            Accessible.ignored: true
        }
        focus: true
        Keys.onEscapePressed: sheet.dismissRequested()

        Column {
            x: 16
            width: scroll.availableWidth - 32
            topPadding: 16
            bottomPadding: 16
            spacing: 12

            UiText {
                objectName: "disclosure-title"
                width: parent.width
                text: sheet.title
                wrapMode: Text.Wrap
                font.pixelSize: MenuType.title3.pixelSize
                font.weight: Font.DemiBold
                color: MenuStyle.text
            }

            TextEdit {
                objectName: "disclosure-body"
                width: parent.width
                text: sheet.bodyText
                readOnly: true
                selectByMouse: true
                wrapMode: TextEdit.Wrap
                textFormat: TextEdit.PlainText
                // Read out as the text it is: the words the user is asked to accept.
                Accessible.role: Accessible.StaticText
                Accessible.name: sheet.bodyText
                Accessible.description: sheet.title
                font: MenuType.body
                color: MenuStyle.text
                // Escape goes to the sheet even while the text holds the focus.
                Keys.onEscapePressed: sheet.dismissRequested()
            }
        }
    }

    FocusRing {}
}
