#pragma once

#include "Models/TranscriptHistoryEntry.h"

#include <QList>
#include <QObject>
#include <QString>

#include <QCoroTask>

#include <functional>
#include <optional>

namespace quorvelle {

// Keeps every completed dictation, newest first.
class TranscriptHistoryStoring {
public:
    virtual ~TranscriptHistoryStoring() = default;

    // Newest first; an absent or unreadable history is an empty one.
    virtual QList<TranscriptHistoryEntry> loadEntries() = 0;
    // Replaces the stored history with these entries. Never fails.
    virtual void save(const QList<TranscriptHistoryEntry>& entries) = 0;
    // Removes the stored history. Never fails.
    virtual void clear() = 0;
    // Writes the stored history as CSV and returns the file's path.
    // Throws TranscriptHistoryExportError.
    virtual QString exportCSV() = 0;
    // The same, with the work done off the caller's thread where the store can; the caller resumes
    // on its own thread.
    virtual QCoro::Task<QString> exportCSVInBackground() { co_return exportCSV(); }

    // Adds one entry at its place by date. Never fails. Returns the entry's row in the history when
    // the rest of it is as the caller last had it (from loadEntries() and the appends since);
    // nothing when the caller must load the entries again.
    virtual std::optional<qsizetype> append(const TranscriptHistoryEntry& entry) {
        QList<TranscriptHistoryEntry> entries = loadEntries();
        entries.prepend(entry);
        save(entries);
        return std::nullopt;
    }
    // Keeps an entry whose words are on their way into a field where it outlives the process, until
    // `append` brings the entry of the same id as it ended; an entry still held when the store ends
    // goes into the history as it is. Not part of the history meanwhile. Returns once a process
    // killed from then on keeps it, without waiting for any other thread.
    virtual void hold(const TranscriptHistoryEntry& entry) { Q_UNUSED(entry); }
    // The held entry of that id never reached a field: it is dropped, from the journal too, before
    // this returns.
    virtual void withdraw(const QUuid& id) { Q_UNUSED(id); }
    // The process is about to end, and does not wait for the store's threads, which may be reading or
    // writing a long history: every entry given to the store, one still held as it is, is put where
    // the next start finds it before this returns, on the calling thread and without waiting for any
    // other. Entries given afterwards are kept so as well. The store is then left to the process's
    // end, never destroyed (its destructor waits for those threads).
    virtual void prepareForExit() {}
    // Calls `loaded` on `context`'s thread once the stored history can be had without waiting.
    virtual void whenLoaded(QObject* context, std::function<void()> loaded) {
        Q_UNUSED(context);
        loaded();
    }
    // Stored entries that could not be read and are left out of the history.
    virtual int skippedEntryCount() { return 0; }
    // Calls `failed` on `context`'s thread with the reason when a change could not be written: once,
    // until a write succeeds again. The change is kept and written with the next one.
    virtual void whenSaveFails(QObject* context, std::function<void(const QString& reason)> failed) {
        Q_UNUSED(context);
        Q_UNUSED(failed);
    }
};

}  // namespace quorvelle
