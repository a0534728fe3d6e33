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
    m_transcriptHistoryStore->whenSaveFails(this, [this](const QString& reason) { reportSaveFailure(reason); });
}

void HistoryViewModel::appendTranscriptHistory(const QString& transcript, double durationSeconds,
                                               TranscriptHistoryCompletionKind completionKind) {
    TranscriptHistoryEntry entry = makeEntry(transcript, durationSeconds, completionKind);
    // The held entry of this dictation: the store replaces it by its id.
    if (m_held && m_held->transcript == transcript) entry.id = m_held->id;
    m_held.reset();
    const std::optional<qsizetype> row = m_transcriptHistoryStore->append(entry);
    // Before the history is first read, the read brings the new entry with it.
    if (!m_loaded) return reloadHistory();
    if (!row || *row > transcriptHistoryEntries().size()) {
        publishHistory(m_transcriptHistoryStore->loadEntries());
        return;
    }
    // Only the new entry came in: one row, and the totals grow by it instead of being summed again.
    m_tally.add(entry);
    m_transcriptHistoryEntriesModel->insertRecord(*row, entry);
    Q_EMIT transcriptHistoryEntriesChanged();
    publish(this, m_overviewMetrics, m_tally.snapshot(), &HistoryViewModel::overviewMetricsChanged);
}

void HistoryViewModel::holdTranscriptHistory(const QString& transcript, double durationSeconds,
                                             TranscriptHistoryCompletionKind completionKind) {
    m_held = makeEntry(transcript, durationSeconds, completionKind);
    m_transcriptHistoryStore->hold(*m_held);
}

void HistoryViewModel::withdrawHeldTranscriptHistory() {
    if (!m_held) return;
    m_transcriptHistoryStore->withdraw(m_held->id);
    m_held.reset();
}

TranscriptHistoryEntry HistoryViewModel::makeEntry(const QString& transcript, double durationSeconds,
                                                   TranscriptHistoryCompletionKind completionKind) const {
    TranscriptHistoryEntry entry;
    entry.id = QUuid::createUuid();
    entry.completedAt = m_context.now();
    entry.transcript = transcript;
    entry.durationSeconds = durationSeconds;
    entry.wordCount = countWords(transcript);
    entry.completionKind = completionKind;
    return entry;
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
        Q_EMIT historyLoadedChanged();
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
    if (entries != transcriptHistoryEntries()) {
        m_transcriptHistoryEntriesModel->setRecords(entries);
        Q_EMIT transcriptHistoryEntriesChanged();
    }
    publish(this, m_overviewMetrics, m_tally.snapshot(), &HistoryViewModel::overviewMetricsChanged);
}

void HistoryViewModel::reportSaveFailure(const QString& reason) {
    const QString message = m_context.strings().historySaveFailed(reason);
    m_context.setInlineMessage(message);
    m_context.recordEvent(DiagnosticsEventLevel::error, QStringLiteral("history.save_failed"),
                          AppStrings().historySaveFailed(reason));
}

}  // namespace quorvelle
