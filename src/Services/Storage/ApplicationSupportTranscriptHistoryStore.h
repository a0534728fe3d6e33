#pragma once

#include "Services/Storage/TranscriptHistoryFile.h"
#include "Services/Storage/TranscriptHistoryStoring.h"
#include "Support/HandOverQueue.h"

#include <QDateTime>
#include <QPointer>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace quorvelle {

// The transcript history, kept in memory and in one pretty-printed JSON file,
// transcript-history.json, in the application's data folder. Called from one thread at a time.
//
// The file is read on a thread of the store's own, starting at construction, so that the start
// and the first dictation do not wait on it; the same thread writes every change afterwards, in
// order, so a dictation never waits for the file either; a new dictation travels to it alone, not
// with a copy of the history, and is journaled beside the file as it comes, by the journal's own
// thread, which never waits behind a history write, so a process killed before the file holds it does
// not lose it: the next read brings it in. A held entry (words on their way into a field) is
// written on the caller's thread before `hold` returns, since the journal's thread may wait long
// for a processor on a busy machine. Once the history is read, a change is handed to the
// thread without a lock, so the caller never waits for it, even when a busy machine has preempted
// it. A change that cannot be written (a full disk) is said once and kept: it goes to the file with
// the next one, or when the store ends. A history file that does not decode reads as empty, is never
// exported as if it were empty, and is moved aside before anything is written in its place; entries
// that do not decode are left out and the file is moved aside before the first write that would
// drop them. A file replaced by someone else while no change of this store is on its way is read
// again.
class ApplicationSupportTranscriptHistoryStore final : public TranscriptHistoryStoring {
public:
    using Clock = std::function<QDateTime()>;

    struct Options {
        QString directory = defaultDirectory();
        // Empty: the user's private temporary folder, made on demand.
        QString exportDirectory;
        Clock now = &QDateTime::currentDateTime;
    };

    ApplicationSupportTranscriptHistoryStore();
    explicit ApplicationSupportTranscriptHistoryStore(Options options);
    // Finishes every change still on its way to the file; an entry still held goes in as it is.
    ~ApplicationSupportTranscriptHistoryStore() override;

    // $XDG_DATA_HOME/com.dovent.Quorvelle/History
    static QString defaultDirectory();

    QString historyFilePath() const;

    QList<TranscriptHistoryEntry> loadEntries() override;
    void save(const QList<TranscriptHistoryEntry>& entries) override;
    void clear() override;
    QString exportCSV() override;
    // The file is made on a thread of its own from the history as it stands at the call.
    QCoro::Task<QString> exportCSVInBackground() override;
    std::optional<qsizetype> append(const TranscriptHistoryEntry& entry) override;
    void hold(const TranscriptHistoryEntry& entry) override;
    void withdraw(const QUuid& id) override;
    void prepareForExit() override;
    void whenLoaded(QObject* context, std::function<void()> loaded) override;
    int skippedEntryCount() override;
    void whenSaveFails(QObject* context, std::function<void(const QString& reason)> failed) override;

    // Returns once the file holds every change made so far, or the journal those it could not take.
    void waitUntilWritten();
    // Returns once the journal holds every entry appended or held so far.
    void waitUntilJournaled() { m_file.waitUntilJournaled(); }

private:
    struct Job {
        // write: `entries` is the whole history; prepend: the new entries in front of it, newest first.
        enum class Kind { read, write, prepend, remove } kind = Kind::read;
        QList<TranscriptHistoryEntry> entries;
        // What the journal had counted once the job's entries were handed to it: the file holds
        // every entry journaled up to it once this job and those before it are written. Kept only
        // by the last of the jobs the worker took together.
        std::optional<quint64> journalMark = std::nullopt;
        // How many of the jobs handed over it stands for, once those waiting together are merged;
        // none once it was counted as done.
        quint64 count = 1;
        // The removals of the history (clears) made before it was handed over: a change made before a
        // later one is void.
        quint64 removals = 0;
    };
    struct Waiter {
        QPointer<QObject> context;
        std::function<void()> loaded;
    };
    struct FailureListener {
        QPointer<QObject> context;
        std::function<void(const QString&)> failed;
    };
    // The export's inputs, taken on the caller's thread.
    struct ExportRequest {
        QList<TranscriptHistoryEntry> entries;
        QString path;
    };

    // `journaled`, the dictations the job brings, are journaled as it is queued: an entry waiting
    // behind a long write outlives the process as well.
    void schedule(Job job, const QList<TranscriptHistoryEntry>& journaled = {});
    // The file holds what the job brought: the journal ends unless more came since.
    void endJournalIfWritten(const std::optional<quint64>& mark);
    // The jobs handed over together, merged where one makes another needless, then run in order.
    void runTogether(std::vector<Job> jobs);
    void run(Job& job);
    void work(bool ownThread);
    // The worker has done `count` jobs and is through with the file for them.
    void countDone(quint64 count);
    // No job handed over is still to do: the caller may use the file itself.
    bool workerIdle() const { return m_jobsDone.load(std::memory_order_acquire) == m_jobsQueued; }
    // The worker's side of a change: written with whatever earlier change could not be.
    void writeWhole(QList<TranscriptHistoryEntry> entries);
    void writeInFront(const QList<TranscriptHistoryEntry>& newest);
    void noteWritten(const std::optional<QString>& failure);
    // Blocks until the first read is done and takes what it found.
    void adoptLoaded();
    // Reads the file again when someone else replaced it while nothing of ours was on its way;
    // true when the entries changed so (or were taken from the first read just now).
    bool rereadIfReplaced();
    void take(TranscriptHistoryFile::Contents contents);
    // Empty when there is none.
    QString exportFolder() const;
    // Exports are copies of the history for the user to place: one left from an earlier run (or
    // from before the history was cleared) is not the user's to keep.
    void removeExports() const;
    ExportRequest exportRequest();
    static QString writeExport(const ExportRequest& request);

    Options m_options;
    TranscriptHistoryFile m_file;  // the worker's, or the caller's while the worker is idle
    // The worker's: a change the file does not hold yet, because writing it failed.
    std::optional<QList<TranscriptHistoryEntry>> m_unwrittenWhole;
    QList<TranscriptHistoryEntry> m_unwrittenInFront;
    bool m_failing = false;

    // Owned by the calling thread.
    QList<TranscriptHistoryEntry> m_entries;
    bool m_adopted = false;
    bool m_unreadable = false;
    QString m_unreadableDetail;
    int m_skipped = 0;
    QList<TranscriptHistoryEntry> m_held;

    // Changes go to the worker through the queue; the lock is for the first read's hand-over and
    // for those who wait on the worker, never for handing a change over.
    HandOverQueue<Job> m_jobs;
    quint64 m_jobsQueued = 0;  // the calling thread's
    std::atomic<quint64> m_jobsDone = 0;
    std::atomic<bool> m_stopping = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_loaded = false;
    TranscriptHistoryFile::Contents m_loadedContents;
    QList<TranscriptHistoryEntry> m_earlyEntries;  // appended before the file was read
    std::vector<Waiter> m_waiters;
    FailureListener m_failureListener;
    std::thread m_worker;
};

}  // namespace quorvelle
