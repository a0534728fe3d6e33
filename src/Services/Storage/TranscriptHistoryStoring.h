#pragma once

#include "Models/TranscriptHistoryEntry.h"

#include <QList>
#include <QString>

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
};

}  // namespace quorvelle
