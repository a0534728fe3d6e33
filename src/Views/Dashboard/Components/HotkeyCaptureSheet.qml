pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import Quorvelle

// The dashboard's sheet for a new global shortcut: a modal dialog over its window, shown while
// `isPresented`. It never hides itself: it asks its owner with `dismissRequested`, after a
// capture (whether or not the view model takes it) and from Close. The content is made anew on
// every opening, so each opening records with a fresh recorder.
Window {
    id: sheet

    required property AppViewModel viewModel
    property bool isPresented: false
    readonly property bool turkish: viewModel.strings.languageCode === "tr"

    signal dismissRequested()

    visible: isPresented
    flags: Qt.Dialog
    modality: Qt.WindowModal
    width: 420
    height: Math.ceil(content.implicitHeight) + 48
    color: MenuStyle.window
    palette.window: MenuStyle.window
    palette.windowText: MenuStyle.text
    palette.base: MenuStyle.theme.inputBackground
    palette.text: MenuStyle.text
    palette.button: MenuStyle.theme.cardFill
    palette.buttonText: MenuStyle.text
    palette.highlight: MenuStyle.theme.primaryButtonFill
    palette.highlightedText: MenuStyle.theme.darkButtonText
    title: turkish ? "Kısayol Yakala" : "Capture Shortcut"

    // Escape closes the sheet; while a capture runs, the recorder takes it to cancel the capture.
    Shortcut {
        sequence: "Escape"
        onActivated: sheet.dismissRequested()
    }

    onClosing: close => {
        close.accepted = false
        sheet.dismissRequested()
    }

    // The recorder's button takes the focus as the sheet opens, so that the keyboard starts there
    // and a screen reader reads it.
    StepFocus {
        id: opening
        window: sheet
    }

    onVisibleChanged: {
        if (visible)
            opening.handOff(content)
    }

    Item {
        id: content
        x: 24
        y: 24
        width: sheet.width - 48
        implicitHeight: childrenRect.height

        // Made while the sheet shows and dropped when it hides: a Repeater of one, because a
        // Loader cannot make bound components in Qt 6.4.
        Repeater {
            model: sheet.visible ? 1 : 0

            ColumnLayout {
                width: content.width
                spacing: 18

                UiText {
                    objectName: "capture-sheet-title"
                    text: sheet.title
                    font.pixelSize: 20
                    font.weight: Font.DemiBold
                    color: MenuStyle.text
                }

                UiText {
                    objectName: "capture-sheet-instruction"
                    Layout.fillWidth: true
                    wrapMode: Text.Wrap
                    text: sheet.turkish
                          ? "Yeni bir global kısayola basın. Quorvelle en az bir modifier tuş ister."
                          : "Press a new global shortcut. Quorvelle requires at least one modifier key."
                    font.pixelSize: 14
                    color: MenuStyle.secondary
                }

                HotkeyCaptureButton {
                    objectName: "capture-sheet-recorder"
                    strings: sheet.viewModel.strings
                    currentTitle: sheet.viewModel.preferences.selectedHotkey.displayTitle
                    onCapture: shortcut => {
                        sheet.viewModel.preferences.setHotkey(shortcut)
                        sheet.dismissRequested()
                    }
                    onFailure: message => sheet.viewModel.preferences.reportHotkeyCaptureUnsupported(message)
                }

                RowLayout {
                    Layout.fillWidth: true

                    Item {
                        Layout.fillWidth: true
                    }

                    PopoverButton {
                        objectName: "capture-sheet-close"
                        text: sheet.turkish ? "Kapat" : "Close"
                        onClicked: sheet.dismissRequested()
                    }
                }
            }
        }
    }

    FocusRing {}
}
