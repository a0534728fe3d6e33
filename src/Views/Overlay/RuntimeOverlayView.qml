pragma ComponentBehavior: Bound
import QtQuick
import Quorvelle

// The overlay panel's content: the session at a glance. The full pill (416 wide with room for its
// shadows, about 250 high, taller when its texts need it) shows the status glyph, title, detail, hot key
// and level bars; the logo-only form (128 x 144) shows the glyph alone, with five level bars while
// recording. Read-only.
Item {
    id: root

    required property AppViewModel viewModel
    // Whether state changes are announced to screen readers (the panel's view; not a copy of it).
    property bool announces: true

    readonly property bool compact: viewModel.preferences.selectedWidgetAppearance === "logoOnly"

    // Tall enough for a one-line title with the badge under it, two lines of detail and the 48-high
    // level row, so that the pill keeps one size from state to state; taller only when a title wraps
    // or a detail runs longer, so that every word of both stays readable.
    readonly property int minimumPillHeight: Math.ceil(titleFont.lineSpacing + 6 + badgeFont.lineSpacing + 10 + 10
                                                       + 2 * detailFont.lineSpacing + 10 + 48 + 32)
    property int contentHeight: 0
    readonly property int pillHeight: Math.max(minimumPillHeight, contentHeight + 32)

    implicitWidth: compact ? 128 : 416
    implicitHeight: compact ? 144 : pillHeight + 72
    Accessible.role: Accessible.StaticText
    Accessible.name: overlayModel.title

    // The panel never takes the focus, so a screen reader hears the session through a notification
    // that shows anew, once for each state the session publishes, with that state's own title and
    // detail. The view model sets a state's message before the state itself arrives, a turn later,
    // and a state may be over within that turn (inserting, before the success): the words are read
    // once the turn's changes are all in. The idle pill is hidden and says nothing.
    // A reader takes the words when it handles the showing, which may be after the next state came
    // (an upload to a backend that answers at once is over in milliseconds): had one notification
    // taken the next words by then, the short state would be heard with them, and they twice. Each
    // showing is of the next of a few notifications in turn, which keeps its words until its turn
    // comes round again.
    Item {
        id: announcement
        objectName: "overlay-announcement"

        // The latest words, and the notification that says them.
        property string spokenTitle
        property string spokenDetail
        property int current: -1

        // Hidden until it has words: the panel taking the view in and showing would otherwise be
        // a showing of its own, read out with the first state's words a moment before them.
        visible: false
        width: 1
        height: 1

        function announce() {
            if (!root.announces || root.viewModel.session.runtimeState.kind === "idle")
                return
            // Switched while hidden, so that only the one that shows is a showing.
            visible = false
            current = (current + 1) % notifications.count
            const notification = notifications.itemAt(current)
            spokenTitle = overlayModel.title
            spokenDetail = overlayModel.detail
            notification.title = spokenTitle
            notification.detail = spokenDetail
            visible = true
        }

        Repeater {
            id: notifications
            model: 4

            Item {
                required property int index
                property string title
                property string detail

                objectName: "overlay-notification-" + index
                visible: index === announcement.current
                width: 1
                height: 1
                Accessible.ignored: !root.announces
                Accessible.role: Accessible.Notification
                Accessible.name: title
                Accessible.description: detail
            }
        }

        // The panel is made for the first state it shows, after that state was published.
        Component.onCompleted: Qt.callLater(announce)

        Connections {
            target: root.viewModel.session

            function onRuntimeStateChanged() {
                Qt.callLater(announcement.announce)
            }
        }
    }

    FontMetrics {
        id: titleFont
        font.family: Fonts.ui
        font.pixelSize: 16
        font.weight: Font.DemiBold
    }

    FontMetrics {
        id: badgeFont
        font.family: Fonts.ui
        font.pixelSize: 11
        font.weight: Font.Medium
    }

    FontMetrics {
        id: detailFont
        font.family: Fonts.ui
        font.pixelSize: 12
        font.weight: Font.Medium
    }

    RuntimeOverlayModel {
        id: overlayModel
        runtimeState: root.viewModel.session.runtimeState
        strings: root.viewModel.strings
        inlineMessage: root.viewModel.inlineMessage ?? ""
        lastCaptureSummary: root.viewModel.session.lastCaptureSummary ?? ""
        recordingTriggerMode: root.viewModel.preferences.selectedRecordingTriggerMode
        desktopTheme: root.viewModel.preferences.selectedDesktopTheme
        transcriptionBackend: root.viewModel.localModels.selectedTranscriptionBackend
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

            // Positioners, not layouts: a layout that had placed the texts with the badge beside the
            // title kept the detail at that height after the badge moved under it. A positioner
            // places its items again whenever one of them changes size.
            Row {
                x: pill.x + 18
                width: pill.width - 36
                anchors.verticalCenter: pill.verticalCenter
                spacing: 16

                StatusGlyph {
                    id: glyph
                    objectName: "overlay-glyph"
                    anchors.verticalCenter: parent.verticalCenter
                    symbolName: overlayModel.symbolName
                    accentColor: overlayModel.theme.accent
                    glowColor: overlayModel.theme.glow
                }

                Column {
                    id: texts
                    width: parent.width - glyph.width - parent.spacing
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 10
                    onImplicitHeightChanged: root.contentHeight = Math.ceil(implicitHeight)
                    Component.onCompleted: root.contentHeight = Math.ceil(implicitHeight)

                    // The title keeps its words on one line where it can: the hot-key badge sits
                    // beside it when both fit, under it otherwise. Cut short beside the badge,
                    // "Dikte tamamlanamadı" read as "Dikte tamam…" (done).
                    Item {
                        id: titleRow

                        readonly property bool sideBySide: title.implicitWidth + 12 + badge.width <= width

                        width: texts.width
                        implicitHeight: Math.max(title.y + title.height, badge.y + badge.height)

                        UiText {
                            id: title
                            objectName: "overlay-title"
                            y: Math.max(0, badge.baselineOffset - baselineOffset)
                            width: Math.min(implicitWidth, titleRow.width)
                            text: overlayModel.title
                            // Only a title longer than the whole row wraps, to two lines at most.
                            wrapMode: Text.Wrap
                            maximumLineCount: 2
                            font.pixelSize: 16
                            font.weight: Font.DemiBold
                            color: overlayModel.theme.primaryText
                        }

                        Rectangle {
                            id: badge
                            objectName: "overlay-hotkey-badge"
                            x: titleRow.sideBySide ? titleRow.width - width : 0
                            // On the title's baseline beside it; under it otherwise.
                            y: titleRow.sideBySide ? Math.max(0, title.baselineOffset - baselineOffset)
                                                   : title.height + 6
                            width: Math.min(implicitWidth, titleRow.width)
                            implicitWidth: Math.ceil(badgeText.implicitWidth) + 20
                            implicitHeight: Math.ceil(badgeText.implicitHeight) + 10
                            baselineOffset: badgeText.y + badgeText.baselineOffset
                            radius: height / 2
                            color: overlayModel.theme.badgeFill
                            border.width: 0.8
                            border.color: overlayModel.theme.badgeStroke

                            UiText {
                                id: badgeText
                                objectName: "overlay-hotkey"
                                anchors.centerIn: parent
                                width: Math.min(implicitWidth, parent.width - 20)
                                elide: Text.ElideMiddle
                                text: root.viewModel.preferences.selectedHotkey.displayTitle
                                font.pixelSize: 11
                                font.weight: Font.Medium
                                color: overlayModel.theme.secondaryText
                            }
                        }
                    }

                    UiText {
                        objectName: "overlay-detail"
                        width: texts.width
                        text: overlayModel.detail
                        wrapMode: Text.Wrap
                        // The pill grows for a long error sentence; only a runaway message is cut.
                        maximumLineCount: 4
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
