#pragma once

#include "Services/Storage/TranscriptHistoryFile.h"
#include "Services/Storage/TranscriptHistoryStoring.h"

#include <QDateTime>
#include <QPointer>

#include <condition_variable>
#include <deque>
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
// order, so a dictation never waits for the file either. A history file that does not decode reads
// as empty, is never exported as if it were empty, and is moved aside before anything is written
// in its place; entries that do not decode are left out and the file is moved aside before the
// first write that would drop them. A file replaced by someone else while no change of this
// store is on its way is read again.
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
    // Finishes every change still on its way to the file.
    ~ApplicationSupportTranscriptHistoryStore() override;

    // $XDG_DATA_HOME/com.dovent.Quorvelle/History
    static QString defaultDirectory();

    QString historyFilePath() const;

    QList<TranscriptHistoryEntry> loadEntries() override;
    void save(const QList<TranscriptHistoryEntry>& entries) override;
    void clear() override;
    QString exportCSV() override;
    void append(const TranscriptHistoryEntry& entry) override;
    void whenLoaded(QObject* context, std::function<void()> loaded) override;
    int skippedEntryCount() override;

    // Returns once the file holds every change made so far.
    void waitUntilWritten();

private:
    struct Job {
        enum class Kind { read, write, remove } kind = Kind::read;
        QList<TranscriptHistoryEntry> entries;
        // How many entries are new in front of those of the previous write; -1: not only that.
        qsizetype prepended = -1;
    };
    struct Waiter {
        QPointer<QObject> context;
        std::function<void()> loaded;
    };

    void schedule(Job job);
    void run(Job& job);
    void work(bool ownThread);
    // Blocks until the first read is done and takes what it found.
    void adoptLoaded();
    // Reads the file again when someone else replaced it while nothing of ours was on its way.
    void rereadIfReplaced();
    void take(TranscriptHistoryFile::Contents contents);

    Options m_options;
    TranscriptHistoryFile m_file;  // the worker's, or the caller's while the worker is idle

    // Owned by the calling thread.
    QList<TranscriptHistoryEntry> m_entries;
    bool m_adopted = false;
    bool m_unreadable = false;
    QString m_unreadableDetail;
    int m_skipped = 0;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    bool m_working = false;
    bool m_stopping = false;
    bool m_loaded = false;
    TranscriptHistoryFile::Contents m_loadedContents;
    QList<TranscriptHistoryEntry> m_earlyEntries;  // appended before the file was read
    std::vector<Waiter> m_waiters;
    std::thread m_worker;
};

}  // namespace quorvelle
