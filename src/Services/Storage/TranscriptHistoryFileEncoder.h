#pragma once

#include "Models/TranscriptHistoryEntry.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QUuid>

namespace quorvelle {

// Writes the history file's text: a pretty-printed JSON array of entries with sorted keys.
// Every save rewrites the whole file, but between two saves only the new entry changes, so the
// text of each entry is kept and reused while the entry stays the same.
class TranscriptHistoryFileEncoder {
public:
    QByteArray encode(const QList<TranscriptHistoryEntry>& entries);

private:
    struct EncodedEntry {
        TranscriptHistoryEntry entry;
        QByteArray text;
    };
    QHash<QUuid, EncodedEntry> m_encoded;
};

}  // namespace quorvelle
