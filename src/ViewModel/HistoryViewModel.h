#pragma once

#include "Models/TranscriptHistoryEntry.h"
#include "ViewModel/AppBootstrap.h"
#include "ViewModel/OverviewMetricsSnapshot.h"
#include "ViewModel/RecordListModel.h"
#include "ViewModel/ViewModelContext.h"

#include <QList>
#include <QObject>

#include <memory>
#include <optional>

namespace quorvelle {

// The transcript history and the totals derived from it, as the history store holds them. The
// totals are summed once when the history is read and then grow with each new entry, which goes in
// as one row: the work of a dictation does not grow with the history.
class HistoryViewModel : public QObject {
    Q_OBJECT

    // Completed dictations, newest first.
    Q_PROPERTY(quorvelle::RecordListModel* transcriptHistoryEntries READ transcriptHistoryEntriesModel CONSTANT)
    // Totals over the history.
    Q_PROPERTY(quorvelle::OverviewMetricsSnapshot overviewMetrics READ overviewMetrics NOTIFY overviewMetricsChanged)
    // The stored history has been read; until then an empty list says nothing.
    Q_PROPERTY(bool historyLoaded READ isHistoryLoaded NOTIFY historyLoadedChanged)

public:
    HistoryViewModel(const AppBootstrap& services, ViewModelContext& context, QObject* parent = nullptr);
    // The store behind the list; the history page exports it.
    const std::shared_ptr<TranscriptHistoryStoring>& transcriptHistoryStore() const { return m_transcriptHistoryStore; }

    const QList<TranscriptHistoryEntry>& transcriptHistoryEntries() const {
        return m_transcriptHistoryEntriesModel->records();
    }
    const OverviewMetricsSnapshot& overviewMetrics() const { return m_overviewMetrics; }
    // The list as the views read it.
    RecordListModel* transcriptHistoryEntriesModel() const { return m_transcriptHistoryEntriesModel; }
    bool isHistoryLoaded() const { return m_loaded; }

    // Adds one delivered dictation and publishes the history with it.
    void appendTranscriptHistory(const QString& transcript, double durationSeconds,
                                 TranscriptHistoryCompletionKind completionKind);
    // A dictation whose words are on their way into a field (a paste sent and checked, a direct
    // write under way): kept by the store as `completionKind` until the next append brings it as it
    // ended, or it is withdrawn.
    void holdTranscriptHistory(const QString& transcript, double durationSeconds,
                               TranscriptHistoryCompletionKind completionKind);
    void withdrawHeldTranscriptHistory();
    // Removes the history file, forgets the last delivery, publishes the (empty) re-read history.
    Q_INVOKABLE void clearTranscriptHistory();
    // Publishes the stored list and its totals; the first call asks for them and returns at once,
    // they follow once the store has read the history.
    void reloadHistory();

Q_SIGNALS:
    // The history is gone: the record of the last delivery must go too.
    void historyCleared();
    void transcriptHistoryEntriesChanged();
    void overviewMetricsChanged();
    void historyLoadedChanged();

private:
    void publishHistory(const QList<TranscriptHistoryEntry>& entries);
    void reportSaveFailure(const QString& reason);
    TranscriptHistoryEntry makeEntry(const QString& transcript, double durationSeconds,
                                     TranscriptHistoryCompletionKind completionKind) const;

    ViewModelContext& m_context;
    std::shared_ptr<TranscriptHistoryStoring> m_transcriptHistoryStore;

    OverviewMetricsSnapshot m_overviewMetrics;
    OverviewMetricsTally m_tally;
    std::optional<TranscriptHistoryEntry> m_held;
    bool m_loadRequested = false;
    bool m_loaded = false;
    RecordList<TranscriptHistoryEntry>* m_transcriptHistoryEntriesModel;
};

}  // namespace quorvelle
