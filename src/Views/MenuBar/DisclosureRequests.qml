pragma Singleton
import QtQuick

// The window that last asked for each disclosure sheet: the popover and the dashboard both hold
// the two sheets, and only the window that asked presents one.
QtObject {
    property QtObject cloudOwner: null
    property QtObject privacyOwner: null
}
