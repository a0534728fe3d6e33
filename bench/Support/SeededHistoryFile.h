#pragma once

#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUuid>

namespace quorvelle::bench {

// A dictation about the length of a short paragraph, with the characters a CSV must quote.
inline TranscriptHistoryEntry sampleEntry(const QDateTime& completedAt, int index) {
    return {QUuid::createUuid(),
            completedAt,
            QStringLiteral("Entry %1: please send the quarterly report to \"finance\", then book the room for "
                           "Thursday and remind everyone about the review.")
                .arg(index),
            4.25 + index % 7,
            22,
            TranscriptHistoryCompletionKind::inserted};
}

// A history of `count` sample dictations a minute apart, the newest at `newest`: written once by the
// store itself (so byte for byte as the app writes it), then copied wherever a run needs it.
class SeededHistoryFile {
public:
    explicit SeededHistoryFile(int count, const QDateTime& newest = QDateTime::currentDateTimeUtc()) : m_count(count) {
        QTemporaryDir scratch;
        ApplicationSupportTranscriptHistoryStore::Options options;
        options.directory = scratch.path();
        QList<TranscriptHistoryEntry> entries;
        entries.reserve(count);
        for (int i = 0; i < count; ++i)
            entries.append(sampleEntry(newest.addSecs(-60 * i), i));
        { ApplicationSupportTranscriptHistoryStore(options).save(entries); }
        QFile written(QDir(scratch.path()).filePath(QStringLiteral("transcript-history.json")));
        if (written.open(QIODevice::ReadOnly)) m_bytes = written.readAll();
    }

    int count() const { return m_count; }

    // Puts the history at `path`, over whatever stands there; false when it could not be written.
    bool writeTo(const QString& path) const {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(m_bytes) == m_bytes.size();
    }

private:
    int m_count;
    QByteArray m_bytes;
};

}  // namespace quorvelle::bench
