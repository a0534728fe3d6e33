#include "Services/Storage/TranscriptHistoryFile.h"

#include "Services/Storage/DamagedFile.h"
#include "Services/Storage/StoreFile.h"
#include "Support/ListRoom.h"
#include "Support/StoreFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
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

bool newerFirst(const TranscriptHistoryEntry& a, const TranscriptHistoryEntry& b) {
    return a.completedAt > b.completedAt;
}

// The elements of the array, each on its own lines, without the brackets.
void writeElements(StoreFileWriter& file, const QList<TranscriptHistoryEntry>& entries) {
    for (qsizetype i = 0; i < entries.size(); ++i)
        file.write((i == 0 ? "\n" : ",\n") + encodeElement(entries[i]));
}

// transcript-history.json keeps its journal in transcript-history.journal.
QString journalPathOf(const QString& path) {
    const QLatin1String suffix(".json");
    return (path.endsWith(suffix) ? path.chopped(suffix.size()) : path) + QStringLiteral(".journal");
}

// Puts in by date, oldest first, each entry whose id `entries` lacks; returns how many went in.
template <typename Iterator>
int insertMissingByDate(QList<TranscriptHistoryEntry>& entries, Iterator first, Iterator last) {
    QSet<QUuid> ids;
    ids.reserve(entries.size());
    for (const TranscriptHistoryEntry& entry : std::as_const(entries))
        ids.insert(entry.id);
    int inserted = 0;
    for (; first != last; ++first) {
        if (ids.contains(first->id)) continue;
        ids.insert(first->id);
        TranscriptHistoryFile::insertByDate(entries, *first);
        ++inserted;
    }
    return inserted;
}

std::optional<QString> failed(const QString& path, const QString& reason) {
    qWarning("Cannot write transcript history %s: %s", qUtf8Printable(path), qUtf8Printable(reason));
    return reason;
}

}  // namespace

TranscriptHistoryFile::TranscriptHistoryFile(QString path, std::function<QDateTime()> now)
    : m_path(std::move(path)), m_now(std::move(now)), m_journal(journalPathOf(m_path), m_now) {}

std::optional<TranscriptHistoryFile::Stamp> TranscriptHistoryFile::stampOf(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
    return Stamp{static_cast<quint64>(info.st_dev), static_cast<quint64>(info.st_ino),
                 static_cast<qint64>(info.st_size),
                 static_cast<qint64>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

qsizetype TranscriptHistoryFile::insertByDate(QList<TranscriptHistoryEntry>& entries,
                                              const TranscriptHistoryEntry& entry) {
    const auto at = std::partition_point(entries.cbegin(), entries.cend(),
                                         [&](const TranscriptHistoryEntry& kept) { return newerFirst(kept, entry); });
    const qsizetype position = at - entries.cbegin();
    entries.insert(position, entry);
    return position;
}

bool TranscriptHistoryFile::changedOnDisk() const {
    return m_holdsUnread || replacedSinceSeen();
}

void TranscriptHistoryFile::remember(qsizetype count, qint64 offset) {
    m_stamp = stampOf(m_path);
    m_count = count;
    m_bodyOffset = count > 0 ? offset : -1;
}

TranscriptHistoryFile::Contents TranscriptHistoryFile::read() {
    Contents contents = readFile();
    mergeJournal(contents);
    // The file lacks entries the list holds: the next change writes it whole.
    if (contents.recovered > 0) m_bodyOffset = -1;
    return contents;
}

void TranscriptHistoryFile::mergeJournal(Contents& contents) {
    const TranscriptHistoryJournal::Contents journal = m_journal.read();
    contents.skipped += journal.damagedLines;
    contents.recovered = insertMissingByDate(contents.entries, journal.entries.cbegin(), journal.entries.cend());
    // The file holds all of it already; one that could not be read whole waits to be set aside.
    if (contents.recovered == 0 && journal.refused.isEmpty() && journal.damagedLines == 0)
        m_journal.endRead(journal.mark);
}

void TranscriptHistoryFile::journal(const QList<TranscriptHistoryEntry>& entries) {
    m_journal.append(entries);
}

void TranscriptHistoryFile::hold(const TranscriptHistoryEntry& entry) {
    m_journal.hold(entry);
}

void TranscriptHistoryFile::withdraw(const QUuid& id) {
    m_journal.withdraw(id);
}

TranscriptHistoryFile::Contents TranscriptHistoryFile::readFile() {
    // Stamped before reading: a file replaced meanwhile no longer matches and is read again.
    const auto stamp = stampOf(m_path);
    m_keepAside.clear();
    m_holdsUnread = false;
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
    // Entries out of order are written whole, sorted, the next time.
    const bool sorted = std::is_sorted(contents.entries.cbegin(), contents.entries.cend(), newerFirst);
    if (!sorted) std::stable_sort(contents.entries.begin(), contents.entries.end(), newerFirst);
    if (contents.skipped > 0) {
        m_keepAside = QStringLiteral("%1 entries did not decode").arg(contents.skipped);
        qWarning("Transcript history %s: %d entries did not decode and are skipped", qUtf8Printable(m_path),
                 contents.skipped);
    }
    // New dictations go in front: room for them there, made here rather than at the first of them.
    reserveInFront(contents.entries, roomForNewEntries(contents.entries));
    m_count = contents.entries.size();
    m_bodyOffset = m_keepAside.isEmpty() && sorted && m_count > 0 ? bodyOffset(file.bytes) : -1;
    return contents;
}

std::optional<QString> TranscriptHistoryFile::moveAsideIfNeeded() {
    if (m_keepAside.isEmpty()) return std::nullopt;
    std::lock_guard installing(m_installing);
    // Removed since: nothing of it is left to keep.
    if (m_removals != m_changesSince || !stampOf(m_path)) return std::nullopt;
    if (const auto aside = setAsideDamagedFile(m_path, m_now())) {
        qWarning("Transcript history %s (%s) kept as %s", qUtf8Printable(m_path), qUtf8Printable(m_keepAside),
                 qUtf8Printable(*aside));
        m_keepAside.clear();
        return std::nullopt;
    }
    qWarning("Transcript history %s (%s) cannot be moved aside; not writing over it", qUtf8Printable(m_path),
             qUtf8Printable(m_keepAside));
    return QStringLiteral("the unreadable history file could not be set aside");
}

std::optional<QString> TranscriptHistoryFile::write(const QList<TranscriptHistoryEntry>& entries) {
    // Someone else wrote it: what it holds now is judged afresh before it is replaced.
    if (replacedSinceSeen()) read();
    if (auto failure = moveAsideIfNeeded()) return failure;
    // Everything the user ever dictated: for the user's eyes only.
    StoreFileWriter file(m_path);
    file.write("[");
    writeElements(file, entries);
    file.write("\n]\n");
    if (auto failure = install(file)) return failed(m_path, *failure);
    remember(entries.size(), 2);
    return std::nullopt;
}

std::optional<QString> TranscriptHistoryFile::mergeAndWrite(const QList<TranscriptHistoryEntry>& newest) {
    const bool replaced = replacedSinceSeen();
    Contents contents = read();
    QList<TranscriptHistoryEntry> merged = std::move(contents.entries);
    // The journal may have brought some of them in already.
    insertMissingByDate(merged, newest.crbegin(), newest.crend());
    auto failure = write(merged);
    if (!failure && replaced) m_holdsUnread = true;
    return failure;
}

std::optional<QString> TranscriptHistoryFile::prepend(const QList<TranscriptHistoryEntry>& newest) {
    if (newest.isEmpty()) return std::nullopt;
    QFile previous(m_path);
    const bool inFront =
        m_bodyOffset >= 0 && !replacedSinceSeen() && previous.open(QIODevice::ReadOnly) && previous.seek(m_bodyOffset);
    if (!inFront) return mergeAndWrite(newest);

    StoreFileWriter file(m_path);
    file.write("[");
    writeElements(file, newest);
    file.write(",\n");
    while (!previous.atEnd()) {
        const QByteArray chunk = previous.read(1 << 20);
        if (previous.error() != QFileDevice::NoError) return failed(m_path, previous.errorString());
        file.write(chunk);
    }
    if (auto failure = install(file)) return failed(m_path, *failure);
    remember(m_count + newest.size(), 2);
    return std::nullopt;
}

std::optional<QString> TranscriptHistoryFile::install(StoreFileWriter& file) {
    std::lock_guard installing(m_installing);
    // The history was cleared after this change was made: it is void, and the file stays gone.
    if (m_removals != m_changesSince) return std::nullopt;
    return file.commit();
}

void TranscriptHistoryFile::removeFilesLocked() {
    QFile::remove(m_path);
    const QFileInfo history(m_path);
    QDir folder = history.dir();
    for (const QString& name : folder.entryList({history.fileName() + QStringLiteral(".corrupt-*")},
                                                QDir::Files | QDir::System | QDir::Hidden))
        folder.remove(name);
}

void TranscriptHistoryFile::removeAtOnce() {
    std::lock_guard installing(m_installing);
    m_removals.fetch_add(1, std::memory_order_acq_rel);
    removeFilesLocked();
}

void TranscriptHistoryFile::remove() {
    {
        std::lock_guard installing(m_installing);
        removeFilesLocked();
    }
    m_keepAside.clear();
    m_holdsUnread = false;
    remember(0, -1);
}

}  // namespace quorvelle
