#include "ViewModel/HistoryViewModel.h"

#include "Models/DiagnosticsEventLevel.h"
#include "Processing/WordCount.h"
#include "ViewModel/Published.h"

#include <QUuid>

namespace quorvelle {

HistoryViewModel::HistoryViewModel(const AppBootstrap& services, ViewModelContext& context, QObject* parent)
    : QObject(parent),
      m_context(context),
      m_transcriptHistoryStore(services.transcriptHistoryStore),
      m_transcriptHistoryEntriesModel(new RecordList<TranscriptHistoryEntry>(this)) {
    connect(this, &HistoryViewModel::transcriptHistoryEntriesChanged, this,
            [this] { m_transcriptHistoryEntriesModel->setRecords(m_transcriptHistoryEntries); });
}

void HistoryViewModel::appendTranscriptHistory(const QString& transcript, double durationSeconds,
                                               TranscriptHistoryCompletionKind completionKind) {
    TranscriptHistoryEntry entry;
    entry.id = QUuid::createUuid();
    entry.completedAt = m_context.now();
    entry.transcript = transcript;
    entry.durationSeconds = durationSeconds;
    entry.wordCount = countWords(transcript);
    entry.completionKind = completionKind;
    m_transcriptHistoryStore->append(entry);
    // Before the history is first read, the read brings the new entry with it.
    if (!m_loaded) return reloadHistory();
    const QList<TranscriptHistoryEntry> entries = m_transcriptHistoryStore->loadEntries();
    // Only the new entry came in: the totals grow by it instead of being summed again.
    if (entries.size() == m_transcriptHistoryEntries.size() + 1 && entries.contains(entry)) {
        m_tally.add(entry);
        publish(this, m_transcriptHistoryEntries, entries, &HistoryViewModel::transcriptHistoryEntriesChanged);
        publish(this, m_overviewMetrics, m_tally.snapshot(), &HistoryViewModel::overviewMetricsChanged);
        return;
    }
    publishHistory(entries);
}

void HistoryViewModel::clearTranscriptHistory() {
    m_transcriptHistoryStore->clear();
    Q_EMIT historyCleared();
    reloadHistory();
    m_context.refreshDiagnosticsSnapshot();
}

void HistoryViewModel::reloadHistory() {
    if (m_loaded) {
        publishHistory(m_transcriptHistoryStore->loadEntries());
        return;
    }
    if (m_loadRequested) return;
    m_loadRequested = true;
    // The start goes on while the history is read; the list and totals follow once it is.
    m_transcriptHistoryStore->whenLoaded(this, [this] {
        m_loaded = true;
        if (const int skipped = m_transcriptHistoryStore->skippedEntryCount(); skipped > 0) {
            m_context.recordEvent(DiagnosticsEventLevel::warning, QStringLiteral("history.entries_skipped"),
                                  QStringLiteral("%1 history entries could not be read and are left out").arg(skipped));
        }
        publishHistory(m_transcriptHistoryStore->loadEntries());
    });
}

void HistoryViewModel::publishHistory(const QList<TranscriptHistoryEntry>& entries) {
    m_tally = OverviewMetricsTally();
    for (const TranscriptHistoryEntry& entry : entries)
        m_tally.add(entry);
    publish(this, m_transcriptHistoryEntries, entries, &HistoryViewModel::transcriptHistoryEntriesChanged);
    publish(this, m_overviewMetrics, m_tally.snapshot(), &HistoryViewModel::overviewMetricsChanged);
}

}  // namespace quorvelle
