#pragma once

#include "Models/TranscriptHistoryEntry.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

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

    // Adds one entry at its place by date. Never fails.
    virtual void append(const TranscriptHistoryEntry& entry) {
        QList<TranscriptHistoryEntry> entries = loadEntries();
        entries.prepend(entry);
        save(entries);
    }
    // Calls `loaded` on `context`'s thread once the stored history can be had without waiting.
    virtual void whenLoaded(QObject* context, std::function<void()> loaded) {
        Q_UNUSED(context);
        loaded();
    }
    // Stored entries that could not be read and are left out of the history.
    virtual int skippedEntryCount() { return 0; }
};

}  // namespace quorvelle
