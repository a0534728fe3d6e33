import QtQuick
import QtQuick.Layouts
import Quorvelle

// A row of joined segments, one per option { value, title, enabled (true when left out),
// unavailable (what a screen reader says of a disabled one) }. It highlights `selectedValue`, which
// the owner binds, and reports a click through `picked`: a refused choice leaves it unchanged.
Rectangle {
    id: root

    property var options: []
    property string selectedValue
    signal picked(string value)

    implicitWidth: segments.implicitWidth + 4
    implicitHeight: segments.implicitHeight + 4
    radius: 8
    color: DesktopTheme.colors.inputBackground
    border.color: DesktopTheme.colors.controlBorder
    border.width: 1

    Row {
        id: segments
        anchors.centerIn: parent
        spacing: 2

        Repeater {
            model: root.options

            DashboardChoiceButton {
                id: segment

                required property var modelData
                isSelected: modelData.value === root.selectedValue

                objectName: "segment-" + modelData.value
                title: modelData.title
                enabled: modelData.enabled !== false
                // Read as disabled too (EnabledStateAccessible); the description says why.
                Accessible.description: enabled ? "" : (modelData.unavailable ?? "")
                opacity: enabled ? 1 : 0.45
                leftPadding: 12
                rightPadding: 12
                topPadding: 5
                bottomPadding: 5
                callback: () => root.picked(modelData.value)

                contentItem: UiText {
                    text: segment.title
                    font.weight: segment.isSelected ? Font.DemiBold : Font.Normal
                    color: segment.isSelected ? DesktopTheme.colors.darkButtonText : DesktopTheme.colors.primaryText
                }

                background: Rectangle {
                    objectName: "segment-fill"
                    radius: 6
                    color: segment.isSelected ? DesktopTheme.colors.primaryButtonFill : "transparent"
                }
            }
        }
    }
}
