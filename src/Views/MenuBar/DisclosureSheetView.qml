import QtQuick
import QtQuick.Controls
import QtQuick.Window
import Quorvelle

// A disclosure text in a modal sheet of its owner's window, shown while `isPresented`; the window
// is named after its sheet (`title`). Escape and the window's close control ask the owner to
// dismiss it with `dismissRequested`; it never hides itself, so the owner's flag stays the one truth.
Window {
    id: sheet

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

    Item {
        id: content
        anchors.fill: parent

        // Made while the sheet shows and dropped when it hides, so that a hidden sheet holds
        // nothing a screen reader would walk into.
        Repeater {
            model: sheet.visible ? 1 : 0

            Flickable {
                id: scroll
                width: content.width
                height: content.height
                contentWidth: width
                contentHeight: column.implicitHeight
                clip: true
                boundsBehavior: Flickable.StopAtBounds
                ScrollBar.vertical: ScrollBar {
                    policy: ScrollBar.AlwaysOn
                    Accessible.name: sheet.title
                }

                Column {
                    id: column
                    x: 16
                    width: scroll.width - 32 - scroll.ScrollBar.vertical.width
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

                    // The sheet's one control, which takes the focus when it opens: the words the
                    // user is asked to accept, read out as the text they are.
                    TextEdit {
                        objectName: "disclosure-body"
                        width: parent.width
                        text: sheet.bodyText
                        readOnly: true
                        selectByMouse: true
                        activeFocusOnTab: true
                        wrapMode: TextEdit.Wrap
                        textFormat: TextEdit.PlainText
                        Accessible.role: Accessible.StaticText
                        Accessible.name: sheet.bodyText
                        Accessible.description: sheet.title
                        font: MenuType.body
                        color: MenuStyle.text
                        Keys.onEscapePressed: sheet.dismissRequested()
                    }
                }
            }
        }

        Keys.onEscapePressed: sheet.dismissRequested()
    }

    StepFocus {
        id: opening
        window: sheet
    }

    onVisibleChanged: {
        if (visible)
            opening.handOff(content)
    }

    FocusRing {}
}
