pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Quorvelle

// The hot-key recorder: a button that starts and cancels capture, the combination in force, and
// how to cancel. It only builds the shortcut; the owner checks and stores it. At most one of
// `capture` and `failure` per capture, after capture has stopped; cancelling reports nothing.
ColumnLayout {
    id: root

    // The view model's `strings`; its `languageCode` picks the texts.
    required property var strings
    required property string currentTitle
    readonly property bool turkish: strings.languageCode === "tr"
    readonly property bool isCapturing: coordinator.isCapturing

    signal capture(var shortcut)
    signal failure(string message)

    spacing: 8

    HotkeyCaptureCoordinator {
        id: coordinator
        window: root.Window.window
        onCaptured: shortcut => root.capture(shortcut)
        onUnsupported: message => root.failure(message)
    }

    RowLayout {
        spacing: 10

        PopoverButton {
            objectName: "hotkey-capture-button"
            highlighted: true
            text: coordinator.isCapturing ? (root.turkish ? "İptal" : "Cancel")
                                          : (root.turkish ? "Yeni hotkey kaydet" : "Record new hotkey")
            onClicked: coordinator.toggleCapture()
        }

        UiText {
            objectName: "hotkey-capture-status"
            font: MenuType.caption
            color: MenuStyle.secondary
            text: coordinator.isCapturing
                  ? (root.turkish ? "Şimdi yeni kombinasyona bas." : "Press the new combination now.")
                  : (root.turkish ? "Aktif: " : "Active: ") + root.currentTitle
        }
    }

    UiText {
        objectName: "hotkey-capture-hint"
        font: MenuType.caption2
        color: MenuStyle.secondary
        text: root.turkish ? "Escape ile yakalamayı iptal edebilirsin." : "Press Escape to cancel capture."
    }
}
