#pragma once

#include "Models/TranscriptHistoryEntry.h"
#include "ViewModel/AppBootstrap.h"
#include "ViewModel/OverviewMetricsSnapshot.h"
#include "ViewModel/RecordListModel.h"
#include "ViewModel/ViewModelContext.h"

#include <QList>
#include <QObject>

#include <memory>

namespace quorvelle {

// The transcript history and the totals derived from it, always re-read from the history file.
class HistoryViewModel : public QObject {
    Q_OBJECT

    // Completed dictations, newest first.
    Q_PROPERTY(quorvelle::RecordListModel* transcriptHistoryEntries READ transcriptHistoryEntriesModel CONSTANT)
    // Totals over the history.
    Q_PROPERTY(quorvelle::OverviewMetricsSnapshot overviewMetrics READ overviewMetrics NOTIFY overviewMetricsChanged)

public:
    HistoryViewModel(const AppBootstrap& services, ViewModelContext& context, QObject* parent = nullptr);

    const QList<TranscriptHistoryEntry>& transcriptHistoryEntries() const { return m_transcriptHistoryEntries; }
    const OverviewMetricsSnapshot& overviewMetrics() const { return m_overviewMetrics; }
    // The list as the views read it.
    RecordListModel* transcriptHistoryEntriesModel() const { return m_transcriptHistoryEntriesModel; }

    // Adds one delivered dictation and publishes what the file holds afterwards.
    void appendTranscriptHistory(const QString& transcript, double durationSeconds,
                                 TranscriptHistoryCompletionKind completionKind);
    // Removes the history file, forgets the last delivery, publishes the (empty) re-read history.
    Q_INVOKABLE void clearTranscriptHistory();
    // Re-reads the file and publishes the list and its totals.
    void reloadHistory();

Q_SIGNALS:
    // The history is gone: the record of the last delivery must go too.
    void historyCleared();
    void transcriptHistoryEntriesChanged();
    void overviewMetricsChanged();

private:
    ViewModelContext& m_context;
    std::shared_ptr<TranscriptHistoryStoring> m_transcriptHistoryStore;

    QList<TranscriptHistoryEntry> m_transcriptHistoryEntries;
    OverviewMetricsSnapshot m_overviewMetrics;
    RecordList<TranscriptHistoryEntry>* m_transcriptHistoryEntriesModel;
};

}  // namespace quorvelle
