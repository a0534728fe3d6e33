#pragma once

#include "Services/Storage/TranscriptHistoryFileEncoder.h"
#include "Services/Storage/TranscriptHistoryStoring.h"

#include <QDateTime>

#include <functional>
#include <future>
#include <optional>

namespace quorvelle {

// The transcript history as one pretty-printed JSON file, transcript-history.json, in the
// application's data folder. A history file that does not decode reads as empty, is never
// exported as if it were empty, and is moved aside before anything is written in its place.
// The file is the only truth: what was last read or written is reused only while the file on
// disk is still that same file. Called from one thread at a time.
//
// The file is read and decoded once on a thread of its own, starting at construction, so that
// the first dictation does not wait on it; the entries' text is prepared for the next save there
// too. A call made before that work is done waits for it, so nothing it read is lost or
// overwritten unseen.
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

    // $XDG_DATA_HOME/com.dovent.Quorvelle/History
    static QString defaultDirectory();

    QString historyFilePath() const;

    QList<TranscriptHistoryEntry> loadEntries() override;
    void save(const QList<TranscriptHistoryEntry>& entries) override;
    void clear() override;
    QString exportCSV() override;

private:
    // Identity of the history file on disk, to tell whether it changed since it was last read.
    struct FileStamp {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNanoseconds = 0;
        bool operator==(const FileStamp&) const = default;
    };

    enum class ReadOutcome { missing, decoded, undecodable };
    struct ReadResult {
        ReadOutcome outcome = ReadOutcome::missing;
        QList<TranscriptHistoryEntry> entries;
        QString detail;
    };

    struct DecodedFile {
        FileStamp stamp;
        QList<TranscriptHistoryEntry> entries;  // newest first
    };

    struct WarmUp {
        std::optional<DecodedFile> decoded;
        TranscriptHistoryFileEncoder encoder;
    };

    void ensureDirectory() const;
    static std::optional<FileStamp> stampOf(const QString& path);
    static ReadResult decodeFile(const QString& path);
    static WarmUp warmUp(const QString& path);
    void adoptWarmUp();
    ReadResult readHistory();
    std::optional<FileStamp> currentStamp() const { return stampOf(historyFilePath()); }
    // Moves an undecodable history file out of the way; false when it is still in the way.
    bool setAsideIfUndecodable();

    Options m_options;
    std::optional<DecodedFile> m_lastDecoded;
    TranscriptHistoryFileEncoder m_encoder;
    // Waited for by its destructor: declared last, so it finishes before the rest goes.
    std::future<WarmUp> m_warmUp;
};

}  // namespace quorvelle
