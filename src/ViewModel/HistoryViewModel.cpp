#include "ViewModel/HistoryViewModel.h"

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
    QList<TranscriptHistoryEntry> entries = m_transcriptHistoryStore->loadEntries();
    entries.prepend(entry);
    m_transcriptHistoryStore->save(entries);
    reloadHistory();
}

void HistoryViewModel::clearTranscriptHistory() {
    m_transcriptHistoryStore->clear();
    Q_EMIT historyCleared();
    reloadHistory();
    m_context.refreshDiagnosticsSnapshot();
}

void HistoryViewModel::reloadHistory() {
    publish(this, m_transcriptHistoryEntries, m_transcriptHistoryStore->loadEntries(),
            &HistoryViewModel::transcriptHistoryEntriesChanged);
    publish(this, m_overviewMetrics, OverviewMetricsSnapshot::fromHistory(m_transcriptHistoryEntries),
            &HistoryViewModel::overviewMetricsChanged);
}

}  // namespace quorvelle
