#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"

#include "Services/Storage/DamagedFile.h"
#include "Services/Storage/JsonList.h"
#include "Services/Storage/TranscriptHistoryCsv.h"
#include "Services/Storage/TranscriptHistoryExportError.h"
#include "Support/AppPaths.h"
#include "Support/PrivateFile.h"

#include <QDir>
#include <QFile>
#include <QtDebug>

#include <sys/stat.h>

#include <algorithm>

namespace quorvelle {

namespace {

const QString kHistoryFileName = QStringLiteral("transcript-history.json");

void sortNewestFirst(QList<TranscriptHistoryEntry>& entries) {
    std::stable_sort(
        entries.begin(), entries.end(),
        [](const TranscriptHistoryEntry& a, const TranscriptHistoryEntry& b) { return a.completedAt > b.completedAt; });
}

}  // namespace

ApplicationSupportTranscriptHistoryStore::ApplicationSupportTranscriptHistoryStore()
    : ApplicationSupportTranscriptHistoryStore(Options{}) {}

ApplicationSupportTranscriptHistoryStore::ApplicationSupportTranscriptHistoryStore(Options options)
    : m_options(std::move(options)) {
    ensureDirectory();
    try {
        m_warmUp = std::async(std::launch::async, &ApplicationSupportTranscriptHistoryStore::warmUp, historyFilePath());
    } catch (const std::system_error&) {
        // No thread to spare: the first call reads the file itself.
    }
}

QString ApplicationSupportTranscriptHistoryStore::defaultDirectory() {
    return QDir(AppPaths::applicationSupportDirectory()).filePath(QStringLiteral("History"));
}

QString ApplicationSupportTranscriptHistoryStore::historyFilePath() const {
    return QDir(m_options.directory).filePath(kHistoryFileName);
}

void ApplicationSupportTranscriptHistoryStore::ensureDirectory() const {
    PrivateFile::makeFolder(m_options.directory);
}

std::optional<ApplicationSupportTranscriptHistoryStore::FileStamp> ApplicationSupportTranscriptHistoryStore::stampOf(
    const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
    return FileStamp{static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino),
                     static_cast<qint64>(info.st_size),
                     static_cast<qint64>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

ApplicationSupportTranscriptHistoryStore::ReadResult ApplicationSupportTranscriptHistoryStore::decodeFile(
    const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {ReadOutcome::undecodable, {}, file.errorString()};
    auto entries = decodeJsonList<TranscriptHistoryEntry>(
        file.readAll(), [](const QJsonValue& json) { return TranscriptHistoryEntry::fromJson(json); });
    if (!entries) return {ReadOutcome::undecodable, {}, QStringLiteral("not a transcript history")};
    sortNewestFirst(*entries);
    return {ReadOutcome::decoded, std::move(*entries), {}};
}

ApplicationSupportTranscriptHistoryStore::WarmUp ApplicationSupportTranscriptHistoryStore::warmUp(const QString& path) {
    WarmUp result;
    // Stamped before reading: a file replaced meanwhile no longer matches and is read again.
    const auto stamp = stampOf(path);
    if (!stamp) return result;
    ReadResult read = decodeFile(path);
    if (read.outcome != ReadOutcome::decoded) return result;
    result.encoder.encode(read.entries);
    result.decoded = DecodedFile{*stamp, std::move(read.entries)};
    return result;
}

void ApplicationSupportTranscriptHistoryStore::adoptWarmUp() {
    if (!m_warmUp.valid()) return;
    WarmUp warm = m_warmUp.get();
    m_lastDecoded = std::move(warm.decoded);
    m_encoder = std::move(warm.encoder);
}

ApplicationSupportTranscriptHistoryStore::ReadResult ApplicationSupportTranscriptHistoryStore::readHistory() {
    adoptWarmUp();
    const auto stamp = currentStamp();
    if (!stamp) {
        m_lastDecoded.reset();
        return {};
    }
    if (m_lastDecoded && m_lastDecoded->stamp == *stamp) return {ReadOutcome::decoded, m_lastDecoded->entries, {}};

    m_lastDecoded.reset();
    ReadResult read = decodeFile(historyFilePath());
    if (read.outcome == ReadOutcome::decoded) m_lastDecoded = DecodedFile{*stamp, read.entries};
    return read;
}

QList<TranscriptHistoryEntry> ApplicationSupportTranscriptHistoryStore::loadEntries() {
    return readHistory().entries;
}

bool ApplicationSupportTranscriptHistoryStore::setAsideIfUndecodable() {
    if (readHistory().outcome != ReadOutcome::undecodable) return true;
    const QString path = historyFilePath();
    if (const auto aside = setAsideDamagedFile(path, m_options.now())) {
        qWarning("Transcript history %s did not decode; kept as %s", qUtf8Printable(path), qUtf8Printable(*aside));
        return true;
    }
    qWarning("Transcript history %s did not decode and cannot be moved aside; not overwriting it",
             qUtf8Printable(path));
    return false;
}

void ApplicationSupportTranscriptHistoryStore::save(const QList<TranscriptHistoryEntry>& entries) {
    ensureDirectory();
    if (!setAsideIfUndecodable()) return;

    QList<TranscriptHistoryEntry> sorted = entries;
    sortNewestFirst(sorted);

    // Everything the user ever dictated: for the user's eyes only.
    if (const auto failure = PrivateFile::write(historyFilePath(), m_encoder.encode(sorted))) {
        qWarning("Cannot write transcript history %s: %s", qUtf8Printable(historyFilePath()), qUtf8Printable(*failure));
        return;
    }
    if (const auto stamp = currentStamp()) m_lastDecoded = DecodedFile{*stamp, std::move(sorted)};
}

void ApplicationSupportTranscriptHistoryStore::clear() {
    adoptWarmUp();
    QFile::remove(historyFilePath());
    m_lastDecoded.reset();
}

QString ApplicationSupportTranscriptHistoryStore::exportCSV() {
    const ReadResult history = readHistory();
    if (history.outcome == ReadOutcome::undecodable) {
        throw TranscriptHistoryExportError(TranscriptHistoryExportErrorCase::historyUnreadable, historyFilePath(),
                                           history.detail);
    }

    const QString folder =
        m_options.exportDirectory.isEmpty() ? AppPaths::privateTemporaryDirectory() : m_options.exportDirectory;
    if (folder.isEmpty()) {
        throw TranscriptHistoryExportError(TranscriptHistoryExportErrorCase::exportFolderUnavailable, QString());
    }
    const QString path = QDir(folder).filePath(TranscriptHistoryCsv::fileName(m_options.now()));

    // Transcripts are private: the file is readable by its owner only, from the moment it exists.
    if (const auto failure = PrivateFile::write(path, TranscriptHistoryCsv::document(history.entries).toUtf8())) {
        throw TranscriptHistoryExportError(TranscriptHistoryExportErrorCase::writeFailed, path, *failure);
    }
    return path;
}

}  // namespace quorvelle
