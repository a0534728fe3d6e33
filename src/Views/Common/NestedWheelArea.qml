import QtQuick

// Laid over a list nested in a scrolling page: the wheel moves the page, so that reading the page
// never stalls under the pointer for the length of a long list. Once the user works in the list
// (`engaged`: the keyboard is in it, say) the wheel moves the list while it can still move that way,
// and the page after that.
MouseArea {
    id: area

    required property Flickable list
    property bool engaged: false
    // Pixels the page moves per wheel notch.
    property real step: 60

    acceptedButtons: Qt.NoButton

    function page() {
        for (let item = list.parent; item; item = item.parent) {
            if (item.contentY !== undefined && item.flickableDirection !== undefined)
                return item
        }
        return null
    }

    onWheel: wheel => {
        const delta = wheel.pixelDelta.y !== 0 ? wheel.pixelDelta.y : wheel.angleDelta.y / 120 * step
        const listCanMove = engaged && (delta < 0 ? !list.atYEnd : !list.atYBeginning)
        const outer = listCanMove ? null : page()
        wheel.accepted = outer !== null
        if (outer)
            outer.contentY = Math.max(0, Math.min(outer.contentY - delta, outer.contentHeight - outer.height))
    }
}
