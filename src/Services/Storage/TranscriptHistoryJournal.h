#pragma once

#include "Models/TranscriptHistoryEntry.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace quorvelle {

// New history entries kept beside the history file from the moment they are known until the file
// holds them: one compact JSON entry a line, added with a single write to a file opened for
// appending. Replacing a large history takes tens of milliseconds; an entry journaled first
// survives the process being killed meanwhile, since the kernel keeps what was written. An entry
// may stand here twice, or be in the history file already: the reader merges by id. A journal that
// could not be read whole is set aside, never removed, when it ends. Used from one thread at a time.
class TranscriptHistoryJournal {
public:
    struct Contents {
        QList<TranscriptHistoryEntry> entries;  // in the order they were added
        int damagedLines = 0;
        // Why nothing could be read (not a regular file, too large); empty when it could.
        QString refused;
    };

    // Far beyond the few entries a history write leaves here, even after a long run of failed writes.
    static constexpr qint64 kMaximumSize = qint64(64) << 20;

    TranscriptHistoryJournal(QString path, std::function<QDateTime()> now);

    const QString& path() const { return m_path; }
    // Returns why the entries were not added; nothing once they are.
    std::optional<QString> append(const QList<TranscriptHistoryEntry>& entries);
    Contents read();
    // The history file holds every entry here: the journal goes (or is set aside, when part of it
    // could not be read).
    void end();
    // Gone whatever it held: the history was cleared.
    void remove();

private:
    QString m_path;
    std::function<QDateTime()> m_now;
    // Why the journal is set aside rather than removed when it ends; empty when it need not be.
    QString m_keepAside;
};

}  // namespace quorvelle
