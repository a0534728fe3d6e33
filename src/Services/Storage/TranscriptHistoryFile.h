#pragma once

#include "Models/TranscriptHistoryEntry.h"
#include "Services/Storage/TranscriptHistoryJournal.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>

namespace quorvelle {

class StoreFileWriter;

// The history file on disk: a pretty-printed JSON array of entries with sorted keys, newest first.
// It is read tolerantly (an entry that does not decode is skipped, not the whole history), and
// written whole or, when new entries come in front of what it holds, by writing those and copying
// the rest of the file as it is. Either way the file is replaced atomically. A file that could not
// be read, or whose entries were skipped, is moved aside before the first write, so nothing the
// user had is ever written over. New entries wait in a journal beside it (transcript-history.journal)
// until the file holds them; reading merges what the journal holds and the file lacks. Used from
// one thread at a time.
class TranscriptHistoryFile {
public:
    enum class Outcome { missing, decoded, unreadable };
    struct Contents {
        Outcome outcome = Outcome::missing;
        QList<TranscriptHistoryEntry> entries;  // newest first
        int skipped = 0;                        // entries of the file and lines of the journal that did not decode
        // Entries taken from the journal that the file lacks: it must be written for the journal to go.
        int recovered = 0;
        QString detail;
    };

    // Larger than any history years of dictation make, small enough to read at once.
    static constexpr qint64 kMaximumSize = qint64(512) << 20;

    TranscriptHistoryFile(QString path, std::function<QDateTime()> now);

    // Puts `entry` at its place in a list kept newest first: before the older ones and before those
    // of the same time, as a new dictation goes. Returns where it went.
    static qsizetype insertByDate(QList<TranscriptHistoryEntry>& entries, const TranscriptHistoryEntry& entry);

    const QString& path() const { return m_path; }
    Contents read();
    // Keeps `entries`, new to the history, in the journal until the file holds them, so that they
    // outlive a process killed before the file is replaced. Handed to the journal's thread, which
    // writes them at once; a failure is only said. Safe to call from another thread than the other
    // operations, as are the journal's operations below.
    void journal(const QList<TranscriptHistoryEntry>& entries);
    // Keeps an entry whose final form is not known yet beside the journal until `journal` brings an
    // entry of its id; written before it returns, on the calling thread.
    void hold(const TranscriptHistoryEntry& entry);
    // The held entry goes, before it returns.
    void withdraw(const QUuid& id);
    // Returns once the journal holds every entry handed to it.
    void waitUntilJournaled() { m_journal.waitUntilWritten(); }
    // Journals at once, on the calling thread, what was handed over and is not in the journal yet.
    void writeJournal() { m_journal.writeHandedOver(); }
    // The same without waiting for any other thread, for this and every later entry: the process is
    // about to end. From the thread that calls `journal`.
    void journalHereFromNow() { m_journal.writeHereFromNow(); }
    // Counts what was journaled; `endJournal` given it ends the journal unless more came since.
    quint64 journalMark() { return m_journal.mark(); }
    // The file holds every entry journaled up to `mark`.
    void endJournal(quint64 mark) { m_journal.end(mark); }
    // The history was cleared: so is the journal, but for the entries it holds.
    void removeJournal() { m_journal.remove(); }
    // True when the file is no longer the one last read or written here.
    bool changedOnDisk() const;
    // Each returns why the file stayed as it was, or nothing once it holds the change. Writes
    // `entries` as the whole history.
    std::optional<QString> write(const QList<TranscriptHistoryEntry>& entries);
    // Puts `newest` (newest first, none older than what the file holds) in front of the history the
    // file holds. A file someone else replaced meanwhile keeps its entries, with these among them,
    // and counts as changed on disk until it is read again.
    std::optional<QString> prepend(const QList<TranscriptHistoryEntry>& newest);
    // The history; its journal stays. The worker's, like the writes.
    void remove();
    // Counts the removals of the history: a change made from the history as it stood before the
    // latest one is void. Safe from any thread.
    quint64 removals() const { return m_removals.load(std::memory_order_acquire); }
    // The changes written from here on were made from the history as it stood at `removals`.
    void changesSince(quint64 removals) { m_changesSince = removals; }
    // The history goes at once, on the calling thread, with every damaged copy set aside beside it
    // (they hold transcripts too); a change made before never takes its place afterwards. Safe
    // from any thread; its journal stays.
    void removeAtOnce();

private:
    // Identity of the file on disk, to tell whether it changed since it was last read or written.
    struct Stamp {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNanoseconds = 0;
        bool operator==(const Stamp&) const = default;
    };
    static std::optional<Stamp> stampOf(const QString& path);
    bool replacedSinceSeen() const { return stampOf(m_path) != m_stamp; }
    // The history as the file holds it now, with `newest` put in, written whole.
    std::optional<QString> mergeAndWrite(const QList<TranscriptHistoryEntry>& newest);
    std::optional<QString> moveAsideIfNeeded();
    // Puts the written file in place, unless the history was removed since the change was made.
    std::optional<QString> install(StoreFileWriter& file);
    // The file and its damaged copies; the caller holds m_installing.
    void removeFilesLocked();
    void remember(qsizetype count, qint64 offset);
    Contents readFile();
    // Puts the journal's entries that `contents` lacks in by date; its damaged lines count as skipped.
    void mergeJournal(Contents& contents);

    QString m_path;
    std::function<QDateTime()> m_now;
    TranscriptHistoryJournal m_journal;
    std::optional<Stamp> m_stamp;
    qsizetype m_count = 0;
    // Where the first entry begins in the file, or -1 when new entries cannot be put in front of it.
    qint64 m_bodyOffset = -1;
    // Why the file must be moved aside before it is written over; empty when it need not be.
    QString m_keepAside;
    // The file holds entries merged in here that whoever keeps the history in memory has not read.
    bool m_holdsUnread = false;
    // Held while the file is put in place, moved aside or removed: a removal on another thread
    // comes before or after, never in between.
    std::mutex m_installing;
    std::atomic<quint64> m_removals = 0;
    quint64 m_changesSince = 0;
};

}  // namespace quorvelle
