#pragma once

#include "Models/TranscriptHistoryEntry.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QUuid>

#include <functional>
#include <mutex>
#include <optional>

namespace quorvelle {

// New history entries kept beside the history file from the moment they are known until the file
// holds them: one compact JSON entry a line, added with a single write to a file opened for
// appending. Replacing a large history takes tens of milliseconds; an entry journaled first
// survives the process being killed meanwhile, since the kernel keeps what was written. An entry
// may stand here twice, or be in the history file already: the reader merges by id, and of two
// lines with one id the later wins. A journal that could not be read whole is set aside, never
// removed, when it ends.
//
// Entries are added on the caller's thread as they come while the writer's thread reads and ends
// the journal: every operation takes the journal's own lock. The entries added by this process
// are on their way to the file already, so reading leaves them out; another process reading after
// this one was killed takes them all.
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

    const QString& path() const { return m_path; }
    // Returns why the entries were not added; nothing once they are. Releases held entries of the
    // same ids: these lines take their place.
    std::optional<QString> append(const QList<TranscriptHistoryEntry>& entries);
    // Adds an entry whose final form is not known yet: it stays here through the ends of the
    // journal until an entry of its id is appended.
    std::optional<QString> hold(const TranscriptHistoryEntry& entry);
    // Counts the additions: an end given an earlier count leaves what was added since.
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
    std::optional<QString> appendLocked(const QList<TranscriptHistoryEntry>& entries);
    void endLocked(quint64 mark);
    // Leaves the held entries alone in the journal, or no journal when none are held.
    void keepOnlyHeldLocked();

    QString m_path;
    std::function<QDateTime()> m_now;
    std::mutex m_mutex;
    quint64 m_additions = 0;
    QSet<QUuid> m_own;
    QList<TranscriptHistoryEntry> m_held;
    // Why the journal is set aside rather than removed when it ends; empty when it need not be.
    QString m_keepAside;
};

}  // namespace quorvelle
