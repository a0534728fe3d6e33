pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Quorvelle

// The overlay panel's content: the session at a glance. The full pill (416 x 228 with room for
// its shadows) shows the status glyph, title, detail, hot key and level bars; the logo-only form
// (128 x 144) shows the glyph alone, with five level bars while recording. Read-only.
Item {
    id: root

    required property AppViewModel viewModel

    readonly property bool compact: viewModel.preferences.selectedWidgetAppearance === "logoOnly"

    // Tall enough for a one-line title, two lines of detail and the full 48-high level row inside
    // the pill's padding, whatever the state says.
    readonly property int pillHeight: 156

    implicitWidth: compact ? 128 : 416
    implicitHeight: compact ? 144 : pillHeight + 72
    Accessible.role: Accessible.StaticText
    Accessible.name: overlayModel.title

    RuntimeOverlayModel {
        id: overlayModel
        runtimeState: root.viewModel.session.runtimeState
        strings: root.viewModel.strings
        inlineMessage: root.viewModel.inlineMessage ?? ""
        lastCaptureSummary: root.viewModel.session.lastCaptureSummary ?? ""
        recordingTriggerMode: root.viewModel.preferences.selectedRecordingTriggerMode
        desktopTheme: root.viewModel.preferences.selectedDesktopTheme
        levels: root.viewModel.session.audioLevelSnapshot
    }

    // Each form exists only while chosen (a Repeater of one, so the bound delegates may see this
    // file's ids, which a Loader does not allow in Qt 6.4).
    Repeater {
        model: root.compact ? 0 : 1

        Item {
            OverlaySurface {
                id: pill
                objectName: "overlay-pill"
                x: 28
                y: 28
                width: 360
                height: root.pillHeight
                theme: overlayModel.theme
            }

            RowLayout {
                x: pill.x + 18
                width: pill.width - 36
                anchors.verticalCenter: pill.verticalCenter
                spacing: 16

                StatusGlyph {
                    objectName: "overlay-glyph"
                    symbolName: overlayModel.symbolName
                    accentColor: overlayModel.theme.accent
                    glowColor: overlayModel.theme.glow
                }

                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 10

                    RowLayout {
                        Layout.fillWidth: true
                        spacing: 0

                        UiText {
                            objectName: "overlay-title"
                            Layout.fillWidth: true
                            Layout.alignment: Qt.AlignBaseline
                            text: overlayModel.title
                            // One line beside the hot-key badge; the detail below says the rest.
                            elide: Text.ElideRight
                            font.pixelSize: 16
                            font.weight: Font.DemiBold
                            color: overlayModel.theme.primaryText
                        }

                        Item {
                            Layout.minimumWidth: 12
                            Layout.preferredWidth: 12
                        }

                        Rectangle {
                            objectName: "overlay-hotkey-badge"
                            Layout.alignment: Qt.AlignBaseline
                            implicitWidth: Math.ceil(badgeText.implicitWidth) + 20
                            implicitHeight: Math.ceil(badgeText.implicitHeight) + 10
                            baselineOffset: badgeText.y + badgeText.baselineOffset
                            radius: height / 2
                            color: overlayModel.theme.badgeFill
                            border.width: 0.8
                            border.color: overlayModel.theme.badgeStroke

                            UiText {
                                id: badgeText
                                anchors.centerIn: parent
                                text: root.viewModel.preferences.selectedHotkey.displayTitle
                                font.pixelSize: 11
                                font.weight: Font.Medium
                                color: overlayModel.theme.secondaryText
                            }
                        }
                    }

                    UiText {
                        objectName: "overlay-detail"
                        Layout.fillWidth: true
                        text: overlayModel.detail
                        wrapMode: Text.Wrap
                        maximumLineCount: 2
                        elide: Text.ElideRight
                        font.pixelSize: 12
                        font.weight: Font.Medium
                        color: overlayModel.theme.secondaryText
                    }

                    WaveformBarsView {
                        objectName: "overlay-waveform"
                        levels: overlayModel.barLevels
                        accentColor: overlayModel.theme.accent
                        glowColor: overlayModel.theme.glow
                    }
                }
            }

            // A soft line of glow along the lower left edge, over the content.
            SoftShape {
                shape: SoftShape.Capsule
                padding: 27
                x: pill.x + 42 - padding
                y: pill.y + pill.height - padding
                width: 150 + 2 * padding
                height: 10 + 2 * padding
                blur: 9
                color: Qt.rgba(overlayModel.theme.glow.r, overlayModel.theme.glow.g, overlayModel.theme.glow.b,
                               0.18)
            }
        }
    }

    Repeater {
        model: root.compact ? 1 : 0

        Item {
            OverlaySurface {
                id: square
                objectName: "overlay-compact"
                x: 28
                y: 28
                width: 72
                height: 72
                cornerRadius: 22
                theme: overlayModel.theme
                glowShadowRadius: 20
                glowShadowOffset: 8
                blackShadowOpacity: 0.28
                blackShadowRadius: 14
                blackShadowOffset: 8
            }

            SoftShape {
                objectName: "overlay-compact-halo"
                shape: SoftShape.Circle
                anchors.centerIn: square
                padding: 18
                width: 54 + 2 * padding
                height: width
                blur: 6
                color: Qt.rgba(overlayModel.theme.glow.r, overlayModel.theme.glow.g, overlayModel.theme.glow.b,
                               0.16)
                scale: overlayModel.glowScale

                Behavior on scale {
                    enabled: Motion.enabled
                    NumberAnimation { duration: 120; easing.type: Easing.OutCubic }
                }
            }

            StatusGlyph {
                objectName: "overlay-glyph"
                anchors.centerIn: square
                symbolName: overlayModel.symbolName
                accentColor: overlayModel.theme.accent
                glowColor: overlayModel.theme.glow
                showsLevels: overlayModel.compactVisible
                levels: overlayModel.compactLevels
            }
        }
    }
}
