import QtQuick
import Quorvelle

// Where a step of a flow ends (the sign-in approved, the last setup step accepted), the control
// that held the keyboard focus goes with it, and nothing would hold it: a screen reader would say
// nothing and the keyboard would start again from the top. `handOff` gives the focus to the first
// control of what comes next, and only when it was lost: a control the user moved to keeps it.
QtObject {
    id: stepFocus

    // The window whose focus is watched.
    property QtObject window
    // Hands off only while the window is worked from the keyboard (a screen reader is): a pointer
    // user carries on from where the pointer is.
    property bool keyboardOnly: false
    readonly property InputModality modality: InputModality {
        window: stepFocus.window
    }

    // Whether nothing that the keyboard reaches holds the focus of the shown window.
    function lost() {
        if (!window || !window.visible)
            return false
        const focused = window.activeFocusItem
        return focused === null || focused === window.contentItem || !focused.visible || !focused.activeFocusOnTab
    }

    function holds(step, item) {
        for (let ancestor = item; ancestor; ancestor = ancestor.parent) {
            if (ancestor === step)
                return true
        }
        return false
    }

    // Once this turn's changes are in: the first control under `step` (a Loader passes for what it
    // loaded) takes the focus, if the focus was lost. The ring shows while the keyboard is in use.
    function handOff(step) {
        Qt.callLater(() => {
            if (!step || !lost() || (keyboardOnly && !modality.keyboard))
                return
            const first = step.nextItemInFocusChain(true)
            if (first && first !== step && holds(step, first))
                first.forceActiveFocus(Qt.OtherFocusReason)
        })
    }
}
