#pragma once

#include "Models/TranscriptHistoryEntry.h"
#include "Support/HandOverQueue.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace quorvelle {

// New history entries kept beside the history file from the moment they are known until the file
// holds them: one compact JSON entry a line, added with a single write to a file opened for
// appending. Replacing a large history takes tens of milliseconds; an entry journaled first
// survives the process being killed meanwhile, since the kernel keeps what was written. An entry
// may stand here twice, or be in the history file already: the reader merges by id, and of two
// lines with one id the later wins. A journal that could not be read whole is set aside, never
// removed, when it ends.
//
// Entries are handed over on the caller's thread (the window's, for a dictation) and written by a
// thread of the journal's own that does nothing else: a write the disk stalls (for milliseconds
// while a history file just replaced goes out) never holds the window up, and an entry never waits
// behind a history write. Handing over takes no lock, so the caller never waits for that thread
// either, even when a busy machine has preempted it. Reading, ending and removing take the
// journal's lock and first write what was handed over, so they see every entry in order; the
// destructor writes what is left. The entries added by this process are on their way to the file
// already, so reading leaves them out; another process reading after this one was killed takes
// them all.
//
// A held entry (words on their way into a field) is written at once on the caller's thread, in a
// file of its own beside the journal (<journal>.held-<run>-<id>), so that it is there before the
// words can be seen, whatever the load: that thread may wait a tenth of a second for a processor
// on a busy machine. Its own file, since the journal is replaced as it ends: a
// line appended there without the journal's lock could go with the old file, and that lock is
// the thread's. The held file has one writer and one remover: the caller, who withdraws it, or the
// journal's thread, once the entry of its id as it ended is in the journal. A reader takes it
// when neither the journal nor the history has its id; this run's own are left out.
class TranscriptHistoryJournal {
public:
    struct Contents {
        QList<TranscriptHistoryEntry> entries;  // in the order they were added
        int damagedLines = 0;
        // Why nothing could be read (not a regular file, too large); empty when it could.
        QString refused;
        // The additions counted when it was read.
        quint64 mark = 0;
    };

    // Far beyond the few entries a history write leaves here, even after a long run of failed writes.
    static constexpr qint64 kMaximumSize = qint64(64) << 20;

    TranscriptHistoryJournal(QString path, std::function<QDateTime()> now);
    ~TranscriptHistoryJournal();
    TranscriptHistoryJournal(const TranscriptHistoryJournal&) = delete;
    TranscriptHistoryJournal& operator=(const TranscriptHistoryJournal&) = delete;

    const QString& path() const { return m_path; }
    // Adds the entries; a failure is said. Once their lines are in, held entries of the same ids go:
    // these lines take their place.
    void append(const QList<TranscriptHistoryEntry>& entries);
    // Keeps an entry whose final form is not known yet until an entry of its id is appended, through
    // the ends of the journal. Written on the calling thread: a process killed once it returned
    // keeps it. A failure is said.
    void hold(const TranscriptHistoryEntry& entry);
    // The held entry of that id goes, at once: a reader after a kill does not find it.
    void withdraw(const QUuid& id);
    // The process is about to end without waiting for the journal's thread, which a busy machine may
    // keep off the processor for long: every entry handed over that it has not written yet is
    // written here, on the calling thread, without the journal's lock, and so is every entry handed
    // over from now on. From the thread that hands entries over.
    void writeHereFromNow();
    // Returns once every entry handed over is in the file.
    void waitUntilWritten();
    // Writes what was handed over on the calling thread, if the journal's thread has not yet.
    void writeHandedOver();
    // Counts the additions handed over: an end given an earlier count leaves what was added since.
    quint64 mark();
    Contents read();
    // The history file holds every entry added up to `mark`: the journal goes (or is set aside,
    // when part of it could not be read), the held entries staying. Nothing happens when entries
    // were added after `mark`.
    void end(quint64 mark);
    // The history file holds every entry of the read that gave `mark`: the journal ends as above,
    // unless entries this process added are still on their way to the file.
    void endRead(quint64 mark);
    // Gone whatever it held but the held entries: the history was cleared.
    void remove();

private:
    using Addition = QList<TranscriptHistoryEntry>;
    // A held entry another run left, found by a read.
    struct ForeignHeld {
        QString path;
        bool damaged = false;
    };

    QString heldPathOf(const QUuid& id) const;
    // The held entries other runs left, put in `entries` (an id at `places`); the caller holds m_mutex.
    void readForeignHeldLocked(Contents& contents, QHash<QUuid, qsizetype>& places);
    // The history file holds what they held: removed, or set aside when they did not decode.
    void dropForeignHeldLocked();
    void handOver(Addition addition);
    void writeUnwrittenHere();
    void startWriter();
    void work();
    // Writes what was handed over and is not written yet, in order; the caller holds m_mutex.
    void writeHandedOverLocked();
    void writeLocked(const Addition& addition);
    std::optional<QString> appendLocked(const QList<TranscriptHistoryEntry>& entries);
    std::optional<QString> appendLinesLocked(const QByteArray& lines);
    void endLocked(quint64 mark);
    // No journal, and none of the held entries of other runs: the history holds them.
    void removeLocked();

    QString m_path;
    std::function<QDateTime()> m_now;
    // Names this run's held files, so that its reads leave them out.
    QString m_run;
    // Held while the journal's file is read or written, and while what is known of it changes.
    std::mutex m_mutex;
    QSet<QUuid> m_own;
    QList<ForeignHeld> m_foreignHeld;
    // Why the journal is set aside rather than removed when it ends; empty when it need not be.
    QString m_keepAside;

    // What was handed over and is not written yet. An addition is counted before it is queued: a
    // mark taken meanwhile includes it, so the journal never ends with its line unaccounted for.
    HandOverQueue<Addition> m_handed;
    std::atomic<quint64> m_additions = 0;
    std::atomic<quint64> m_queued = 0;
    std::atomic<quint64> m_written = 0;
    // Only for those who wait for the writes; handing over never takes it.
    std::mutex m_writtenMutex;
    std::condition_variable m_writtenChanged;
    std::atomic<bool> m_stopping = false;
    std::once_flag m_writerStarted;
    // No thread could be had: the caller writes, as it did before there was a thread.
    bool m_writesInline = false;
    // The handing thread's: what it handed over, numbered as counted in m_queued, until it knows the
    // journal's thread wrote it (m_written), for a process that ends without waiting for that thread.
    struct Unwritten {
        quint64 number;
        Addition addition;
    };
    std::deque<Unwritten> m_unwritten;
    bool m_writesHere = false;
    std::thread m_writer;
};

}  // namespace quorvelle
