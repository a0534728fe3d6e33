#pragma once

#include "AppUnderTest.h"
#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>

namespace quorvelle::test {

// A history of `count` dictations a minute apart, for benchmarks that run the real app over a large
// one: written once by the store itself (so byte for byte as the app writes it), then copied into
// each app's data folder before it starts.
class SeededHistory {
public:
    explicit SeededHistory(int count) : m_count(count) {
        QTemporaryDir scratch;
        ApplicationSupportTranscriptHistoryStore::Options options;
        options.directory = scratch.path();
        const QDateTime now = QDateTime::currentDateTimeUtc();
        QList<TranscriptHistoryEntry> entries;
        entries.reserve(count);
        for (int i = 0; i < count; ++i)
            entries.append({QUuid::createUuid(), now.addSecs(-60 * (i + 1)),
                            QStringLiteral("Dictation %1: send the quarterly report to finance and book the room "
                                           "for Thursday's review.")
                                .arg(i),
                            4.5, 17, TranscriptHistoryCompletionKind::inserted});
        { ApplicationSupportTranscriptHistoryStore(options).save(entries); }
        QFile written(QDir(scratch.path()).filePath(QStringLiteral("transcript-history.json")));
        if (written.open(QIODevice::ReadOnly)) m_bytes = written.readAll();
    }

    int count() const { return m_count; }

    static QString folderOf(const AppUnderTest& app) {
        return app.environment().value(QStringLiteral("XDG_DATA_HOME")) +
               QStringLiteral("/com.dovent.Quorvelle/History");
    }

    // False when the copy could not be written.
    bool writeInto(const AppUnderTest& app) const {
        QDir().mkpath(folderOf(app));
        QFile file(folderOf(app) + QStringLiteral("/transcript-history.json"));
        return file.open(QIODevice::WriteOnly) && file.write(m_bytes) == m_bytes.size();
    }

private:
    int m_count;
    QByteArray m_bytes;
};

}  // namespace quorvelle::test
