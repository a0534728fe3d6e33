import QtQuick
import QtQuick.Layouts
import Quorvelle

// A disclosure's setup step: Ready once accepted; its full text and Accept stay available after.
SetupCard {
    id: card

    required property bool turkish

    signal viewRequested
    signal acceptRequested

    badgeLabel: ready ? (turkish ? "Hazır" : "Ready") : (turkish ? "Eksik" : "Missing")

    Flow {
        Layout.fillWidth: true
        spacing: 8

        PopoverButton {
            objectName: card.objectName + "-view"
            text: card.turkish ? "Metni gör" : "View text"
            Accessible.description: card.turkish ? card.title + ": metni gör" : "View " + card.title.toLowerCase() + " text"
            onClicked: card.viewRequested()
        }

        PopoverButton {
            objectName: card.objectName + "-accept"
            text: card.turkish ? "Onayla" : "Accept"
            Accessible.description: DashboardTexts.buttonDescription(card.turkish ? "tr" : "en", text, card.title)
            highlighted: true
            onClicked: card.acceptRequested()
        }
    }
}
