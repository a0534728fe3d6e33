#include "Services/Storage/TranscriptHistoryFile.h"

#include "Services/Storage/DamagedFile.h"
#include "Services/Storage/StoreFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QtDebug>

#include <sys/stat.h>

#include <algorithm>

namespace quorvelle {

namespace {

// One entry as an indented element of the top-level array.
QByteArray encodeElement(const TranscriptHistoryEntry& entry) {
    QByteArray object = QJsonDocument(entry.toJson()).toJson(QJsonDocument::Indented);
    object.chop(1);  // the document's closing line feed
    return "    " + object.replace('\n', "\n    ");
}

bool isJsonSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

// Where what follows the opening bracket of a JSON array of objects begins (past the bracket's own
// line feed, so the first element keeps its indentation), or -1 when the array holds no object.
qint64 bodyOffset(const QByteArray& bytes) {
    qsizetype at = 0;
    while (at < bytes.size() && isJsonSpace(bytes[at]))
        ++at;
    if (at == bytes.size() || bytes[at] != '[') return -1;
    const qsizetype body = at + 1 < bytes.size() && bytes[at + 1] == '\n' ? at + 2 : at + 1;
    for (at = body; at < bytes.size() && isJsonSpace(bytes[at]);)
        ++at;
    return at < bytes.size() && bytes[at] == '{' ? body : -1;
}

// Writes into `file` and says whether every byte went.
bool put(QSaveFile& file, const QByteArray& bytes) {
    return file.write(bytes) == bytes.size();
}

}  // namespace

TranscriptHistoryFile::TranscriptHistoryFile(QString path, std::function<QDateTime()> now)
    : m_path(std::move(path)), m_now(std::move(now)) {}

std::optional<TranscriptHistoryFile::Stamp> TranscriptHistoryFile::stampOf(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
    return Stamp{static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino),
                 static_cast<qint64>(info.st_size),
                 static_cast<qint64>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

bool TranscriptHistoryFile::changedOnDisk() const {
    return stampOf(m_path) != m_stamp;
}

void TranscriptHistoryFile::remember(qsizetype count, qint64 offset) {
    m_stamp = stampOf(m_path);
    m_count = count;
    m_bodyOffset = count > 0 ? offset : -1;
}

TranscriptHistoryFile::Contents TranscriptHistoryFile::read() {
    // Stamped before reading: a file replaced meanwhile no longer matches and is read again.
    const auto stamp = stampOf(m_path);
    m_keepAside.clear();
    m_bodyOffset = -1;
    m_count = 0;
    m_stamp = stamp;
    const StoreFile file = StoreFile::read(m_path, kMaximumSize);
    if (file.outcome == StoreFile::Outcome::missing) return {};
    Contents contents;
    QJsonParseError error{};
    const QJsonDocument document =
        file.outcome == StoreFile::Outcome::read ? QJsonDocument::fromJson(file.bytes, &error) : QJsonDocument();
    if (file.outcome == StoreFile::Outcome::refused || error.error != QJsonParseError::NoError || !document.isArray()) {
        contents.outcome = Outcome::unreadable;
        contents.detail =
            file.outcome == StoreFile::Outcome::refused ? file.reason : QStringLiteral("not a transcript history");
        m_keepAside = contents.detail;
        qWarning("Transcript history %s cannot be read: %s", qUtf8Printable(m_path), qUtf8Printable(contents.detail));
        return contents;
    }
    const QJsonArray array = document.array();
    contents.outcome = Outcome::decoded;
    contents.entries.reserve(array.size());
    for (const QJsonValue& element : array) {
        if (auto entry = TranscriptHistoryEntry::fromJson(element))
            contents.entries.append(std::move(*entry));
        else
            ++contents.skipped;
    }
    const auto newerFirst = [](const auto& a, const auto& b) { return a.completedAt > b.completedAt; };
    // Entries out of order are written whole, sorted, the next time.
    const bool sorted = std::is_sorted(contents.entries.cbegin(), contents.entries.cend(), newerFirst);
    if (!sorted) std::stable_sort(contents.entries.begin(), contents.entries.end(), newerFirst);
    if (contents.skipped > 0) {
        m_keepAside = QStringLiteral("%1 entries did not decode").arg(contents.skipped);
        qWarning("Transcript history %s: %d entries did not decode and are skipped", qUtf8Printable(m_path),
                 contents.skipped);
    }
    m_count = contents.entries.size();
    m_bodyOffset = m_keepAside.isEmpty() && sorted && m_count > 0 ? bodyOffset(file.bytes) : -1;
    return contents;
}

bool TranscriptHistoryFile::moveAsideIfNeeded() {
    if (m_keepAside.isEmpty() || !stampOf(m_path)) return true;
    if (const auto aside = setAsideDamagedFile(m_path, m_now())) {
        qWarning("Transcript history %s (%s) kept as %s", qUtf8Printable(m_path), qUtf8Printable(m_keepAside),
                 qUtf8Printable(*aside));
        m_keepAside.clear();
        return true;
    }
    qWarning("Transcript history %s (%s) cannot be moved aside; not writing over it", qUtf8Printable(m_path),
             qUtf8Printable(m_keepAside));
    return false;
}

bool TranscriptHistoryFile::write(const QList<TranscriptHistoryEntry>& entries, qsizetype prepended) {
    if (changedOnDisk()) {
        // Someone else wrote it: what it holds now is judged afresh before it is replaced.
        read();
        prepended = -1;
    }
    if (!moveAsideIfNeeded()) return false;

    const bool inFront = prepended > 0 && m_bodyOffset >= 0 && entries.size() == m_count + prepended;
    QFile previous(m_path);
    if (inFront && (!previous.open(QIODevice::ReadOnly) || !previous.seek(m_bodyOffset))) return write(entries);

    // Everything the user ever dictated: for the user's eyes only.
    QSaveFile file(m_path);
    bool written =
        file.open(QIODevice::WriteOnly) && file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    written = written && put(file, "[");
    const qsizetype encodedCount = inFront ? prepended : entries.size();
    for (qsizetype i = 0; written && i < encodedCount; ++i)
        written = put(file, (i == 0 ? "\n" : ",\n") + encodeElement(entries[i]));
    if (inFront) {
        written = written && put(file, ",\n");
        while (written && !previous.atEnd()) {
            const QByteArray chunk = previous.read(1 << 20);
            written = previous.error() == QFileDevice::NoError && put(file, chunk);
        }
    } else {
        written = written && put(file, "\n]\n");
    }
    // Qt keeps a small payload in its buffer until commit(), and commit() installs the file even when
    // that last write fails: on a full disk the old file would become an empty or cut one.
    if (!written || !file.flush()) {
        qWarning("Cannot write transcript history %s: %s", qUtf8Printable(m_path), qUtf8Printable(file.errorString()));
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        qWarning("Cannot write transcript history %s: %s", qUtf8Printable(m_path), qUtf8Printable(file.errorString()));
        return false;
    }
    remember(entries.size(), 2);
    return true;
}

void TranscriptHistoryFile::remove() {
    QFile::remove(m_path);
    m_keepAside.clear();
    remember(0, -1);
}

}  // namespace quorvelle
