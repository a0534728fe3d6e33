#pragma once

#include "Models/TranscriptHistoryEntry.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace quorvelle {

// The history file on disk: a pretty-printed JSON array of entries with sorted keys, newest first.
// It is read tolerantly (an entry that does not decode is skipped, not the whole history), and
// written whole or, when only new entries came in front of what it holds, by writing those and
// copying the rest of the file as it is. Either way the file is replaced atomically. A file that
// could not be read, or whose entries were skipped, is moved aside before the first write, so
// nothing the user had is ever written over. Used from one thread at a time.
class TranscriptHistoryFile {
public:
    enum class Outcome { missing, decoded, unreadable };
    struct Contents {
        Outcome outcome = Outcome::missing;
        QList<TranscriptHistoryEntry> entries;  // newest first
        int skipped = 0;
        QString detail;
    };

    // Larger than any history years of dictation make, small enough to read at once.
    static constexpr qint64 kMaximumSize = qint64(512) << 20;

    TranscriptHistoryFile(QString path, std::function<QDateTime()> now);

    const QString& path() const { return m_path; }
    Contents read();
    // True when the file is no longer the one last read or written here.
    bool changedOnDisk() const;
    // Writes `entries`, of which the first `prepended` are new in front of what was last read or
    // written; -1 when that is not so. False when the file stayed as it was.
    bool write(const QList<TranscriptHistoryEntry>& entries, qsizetype prepended = -1);
    void remove();

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
    bool moveAsideIfNeeded();
    void remember(qsizetype count, qint64 offset);

    QString m_path;
    std::function<QDateTime()> m_now;
    std::optional<Stamp> m_stamp;
    qsizetype m_count = 0;
    // Where the first entry begins in the file, or -1 when new entries cannot be put in front of it.
    qint64 m_bodyOffset = -1;
    // Why the file must be moved aside before it is written over; empty when it need not be.
    QString m_keepAside;
};

}  // namespace quorvelle
