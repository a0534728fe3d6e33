import QtQuick
import QtQuick.Layouts
import Quorvelle

// The history rows of the overview and history pages, newest first, or the empty-history card
// (which says the history is loading until the stored one has been read).
// Rows keep their own quick-add state across new dictations: they are keyed by the entry's id.
ColumnLayout {
    id: root

    required property AppViewModel viewModel
    required property MainWindowState windowState
    property alias limit: rows.limit
    property string emptyMessage

    objectName: "history-row-list"
    spacing: 10

    HistoryRows {
        id: rows
        viewModel: root.viewModel
    }

    EmptyHistoryState {
        objectName: "history-empty"
        visible: rows.count === 0
        message: root.viewModel.history.historyLoaded
                 ? root.emptyMessage
                 : DashboardTexts.localized(root.viewModel.languageCode, "Loading history…", "Geçmiş yükleniyor…")
    }

    Repeater {
        objectName: "history-rows"
        model: rows

        HistoryRowCard {
            objectName: "history-row-" + model.id
            languageCode: root.viewModel.languageCode
            entry: ({ id: model.id, transcript: model.transcript, timestampLabel: model.timestampLabel,
                      wordCountLabel: model.wordCountLabel, durationLabel: model.durationLabel,
                      completionKindLabel: model.completionKindLabel,
                      dictionaryActionTitle: model.dictionaryActionTitle })
            saveToDictionaryAction: root.windowState.saveHistoryTermToDictionary
        }
    }

    // Further rows are made as the end of the list comes near the scrolled view.
    Item {
        id: listEnd

        property Item scroller: null

        function showMoreIfNear() {
            if (rows.hasMore && scroller && mapToItem(scroller, 0, 0).y < scroller.height * 2)
                rows.showMore()
        }

        Layout.fillWidth: true
        implicitHeight: 0
        onYChanged: showMoreIfNear()
        Component.onCompleted: {
            for (let item = root.parent; item; item = item.parent) {
                if (item.contentY !== undefined) {
                    scroller = item
                    break
                }
            }
            showMoreIfNear()
        }

        Connections {
            target: listEnd.scroller
            function onContentYChanged() { listEnd.showMoreIfNear() }
            function onHeightChanged() { listEnd.showMoreIfNear() }
        }
    }
}
