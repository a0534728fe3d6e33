#include "Services/Storage/TranscriptHistoryJournal.h"

#include "Services/Storage/BatchThread.h"
#include "Services/Storage/DamagedFile.h"
#include "Services/Storage/StoreFile.h"
#include "Support/JsonCoding.h"
#include "Support/StoreFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtDebug>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace quorvelle {

namespace {

// Writes all of `bytes` at the end of the file; on a failure the part written is taken back, so a
// full disk leaves no broken line behind.
std::optional<QString> appendAll(int fd, const QByteArray& bytes, off_t size) {
    std::optional<QString> failure = writeEveryByte(fd, bytes);
    if (failure && ::ftruncate(fd, size) != 0) {
        qWarning("Transcript history journal: a partly written line stays: %s", qUtf8Printable(systemErrorText(errno)));
    }
    return failure;
}

QByteArray lineOf(const TranscriptHistoryEntry& entry) {
    return QJsonDocument(entry.toJson()).toJson(QJsonDocument::Compact) + '\n';
}

// A line of its own kind, so that no reader takes it for an entry: a held entry withdrawn, as an
// earlier version kept held entries in the journal itself.
const QString kWithdrawnKey = QStringLiteral("withdrawn");

std::optional<TranscriptHistoryEntry> entryOfLine(const QByteArray& line) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    return TranscriptHistoryEntry::fromJson(document.object());
}

// Opens a store file for writing, never through a link, never waiting on a FIFO; the user's eyes
// only, like the history. Then `use` writes; the reason when anything failed.
std::optional<QString> writeStoreFile(const QString& path, int flags,
                                      const std::function<std::optional<QString>(int fd, off_t size)>& use) {
    const int fd = ::open(QFile::encodeName(path).constData(),
                          flags | O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0) return systemErrorText(errno);
    std::optional<QString> failure;
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        failure = systemErrorText(errno);
    else if (!S_ISREG(info.st_mode))
        failure = QStringLiteral("not a regular file");
    else if ((info.st_mode & 07777) != 0600 && ::fchmod(fd, 0600) != 0)
        failure = systemErrorText(errno);
    else
        failure = use(fd, info.st_size);
    ::close(fd);
    return failure;
}

}  // namespace

TranscriptHistoryJournal::TranscriptHistoryJournal(QString path, std::function<QDateTime()> now)
    : m_path(std::move(path)), m_now(std::move(now)), m_run(QUuid::createUuid().toString(QUuid::Id128)) {}

TranscriptHistoryJournal::~TranscriptHistoryJournal() {
    m_stopping.store(true, std::memory_order_release);
    m_handed.wake();
    if (m_writer.joinable()) m_writer.join();
}

void TranscriptHistoryJournal::append(const QList<TranscriptHistoryEntry>& entries) {
    if (!entries.isEmpty()) handOver(entries);
}

QString TranscriptHistoryJournal::heldPathOf(const QUuid& id) const {
    return m_path + QStringLiteral(".held-") + m_run + QLatin1Char('-') + id.toString(QUuid::WithoutBraces);
}

void TranscriptHistoryJournal::hold(const TranscriptHistoryEntry& entry) {
    const QString path = heldPathOf(entry.id);
    const std::optional<QString> failure =
        writeStoreFile(path, O_CREAT | O_TRUNC, [&](int fd, off_t) { return writeEveryByte(fd, lineOf(entry)); });
    if (!failure) return;
    qWarning("Transcript history journal %s cannot be written: %s", qUtf8Printable(path), qUtf8Printable(*failure));
    // Part of a line would only be read as damaged.
    ::unlink(QFile::encodeName(path).constData());
}

void TranscriptHistoryJournal::withdraw(const QUuid& id) {
    const QString path = heldPathOf(id);
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT) {
        qWarning("Transcript history journal %s cannot be removed: %s", qUtf8Printable(path),
                 qUtf8Printable(systemErrorText(errno)));
    }
}

void TranscriptHistoryJournal::handOver(Addition addition) {
    // Started at the first entry: a journal only read needs no thread.
    std::call_once(m_writerStarted, &TranscriptHistoryJournal::startWriter, this);
    // Counted as it is handed over: a mark taken from now on includes it.
    ++m_additions;
    const quint64 number = ++m_queued;
    const quint64 written = m_written;
    while (!m_unwritten.empty() && m_unwritten.front().number <= written)
        m_unwritten.pop_front();
    m_unwritten.push_back({number, addition});
    m_handed.push(std::move(addition));
    if (m_writesInline) writeHandedOver();
    if (m_writesHere) writeUnwrittenHere();
}

void TranscriptHistoryJournal::writeHereFromNow() {
    m_writesHere = true;
    writeUnwrittenHere();
}

void TranscriptHistoryJournal::writeUnwrittenHere() {
    const quint64 written = m_written;
    QByteArray lines;
    for (const Unwritten& unwritten : m_unwritten) {
        if (unwritten.number <= written) continue;
        for (const TranscriptHistoryEntry& entry : unwritten.addition)
            lines += lineOf(entry);
    }
    m_unwritten.clear();
    if (lines.isEmpty()) return;
    // Without the lock, which the journal's thread may hold while it waits for a processor. That
    // thread may write the same lines: of two lines of one id the later wins, the same entry either
    // way. The journal is never ended under them: it ends only once the history file holds every
    // entry counted, theirs included. On a failure the part written stays, read as a damaged line:
    // taking it back could cut a line of that thread.
    const std::optional<QString> failure =
        writeStoreFile(m_path, O_APPEND | O_CREAT, [&](int fd, off_t) { return writeEveryByte(fd, lines); });
    if (failure)
        qWarning("Transcript history journal %s cannot be written: %s", qUtf8Printable(m_path),
                 qUtf8Printable(*failure));
}

void TranscriptHistoryJournal::startWriter() {
    try {
        m_writer = std::thread(&TranscriptHistoryJournal::work, this);
    } catch (const std::system_error&) {
        m_writesInline = true;
    }
}

void TranscriptHistoryJournal::work() {
    // Named for those who look at the process's threads (top -H, a debugger).
    pthread_setname_np(pthread_self(), "history-journal");
    // Its writes are a line or two: at the window's weight they take it no time worth giving way for.
    becomeBatchThread(false);
    for (;;) {
        m_handed.wait();
        // Everything handed over before the stop was queued before it: written before the thread ends.
        const bool stopping = m_stopping.load(std::memory_order_acquire);
        writeHandedOver();
        if (stopping) return;
    }
}

void TranscriptHistoryJournal::writeHandedOverLocked() {
    const std::vector<Addition> handed = m_handed.takeAll();
    if (handed.empty()) return;
    for (const Addition& addition : handed)
        writeLocked(addition);
    m_written += handed.size();
    // Taken between the count and the notice: a waiter is either past its check or already waiting.
    { std::lock_guard written(m_writtenMutex); }
    m_writtenChanged.notify_all();
}

void TranscriptHistoryJournal::writeLocked(const Addition& addition) {
    if (const std::optional<QString> failure = appendLocked(addition)) {
        // A held entry of the same id stays held: a kill keeps it as it was held.
        qWarning("Transcript history journal %s cannot be written: %s", qUtf8Printable(m_path),
                 qUtf8Printable(*failure));
        return;
    }
    // Their lines as they ended are in: a held file of one of them is no longer needed.
    for (const TranscriptHistoryEntry& entry : addition)
        ::unlink(QFile::encodeName(heldPathOf(entry.id)).constData());
}

void TranscriptHistoryJournal::writeHandedOver() {
    std::lock_guard lock(m_mutex);
    writeHandedOverLocked();
}

void TranscriptHistoryJournal::waitUntilWritten() {
    const quint64 queued = m_queued;
    std::unique_lock written(m_writtenMutex);
    m_writtenChanged.wait(written, [&] { return m_written >= queued; });
}

std::optional<QString> TranscriptHistoryJournal::appendLocked(const QList<TranscriptHistoryEntry>& entries) {
    if (entries.isEmpty()) return std::nullopt;
    QByteArray lines;
    for (const TranscriptHistoryEntry& entry : entries)
        lines += lineOf(entry);
    const std::optional<QString> failure = appendLinesLocked(lines);
    // Its own even when it failed: part of it may be in the journal.
    for (const TranscriptHistoryEntry& entry : entries)
        m_own.insert(entry.id);
    return failure;
}

std::optional<QString> TranscriptHistoryJournal::appendLinesLocked(const QByteArray& lines) {
    return writeStoreFile(m_path, O_APPEND | O_CREAT, [&](int fd, off_t size) { return appendAll(fd, lines, size); });
}

quint64 TranscriptHistoryJournal::mark() {
    return m_additions;
}

TranscriptHistoryJournal::Contents TranscriptHistoryJournal::read() {
    std::lock_guard lock(m_mutex);
    writeHandedOverLocked();
    m_keepAside.clear();
    Contents contents;
    contents.mark = mark();
    QHash<QUuid, qsizetype> places;
    // Before the journal's lines: a line there of the same id is the entry as it ended.
    readForeignHeldLocked(contents, places);
    const StoreFile file = StoreFile::read(m_path, kMaximumSize);
    if (file.outcome == StoreFile::Outcome::missing) return contents;
    if (file.outcome == StoreFile::Outcome::refused) {
        contents.refused = file.reason;
        m_keepAside = file.reason;
        qWarning("Transcript history journal %s cannot be read: %s", qUtf8Printable(m_path),
                 qUtf8Printable(file.reason));
        return contents;
    }
    QSet<QUuid> withdrawn;
    int damagedLines = 0;
    for (const QByteArray& line : file.bytes.split('\n')) {
        if (line.trimmed().isEmpty()) continue;
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        if (const json::Field<QUuid> id = json::readUuid(document.object(), kWithdrawnKey); id.isPresent()) {
            withdrawn.insert(*id.value());
            continue;
        }
        auto entry = error.error == QJsonParseError::NoError && document.isObject()
                         ? TranscriptHistoryEntry::fromJson(document.object())
                         : std::nullopt;
        if (!entry) {
            ++damagedLines;
        } else if (m_own.contains(entry->id)) {
            continue;
        } else if (const auto place = places.constFind(entry->id); place != places.cend()) {
            // A later line of the same entry: a held entry as it ended.
            contents.entries[*place] = std::move(*entry);
        } else {
            places.insert(entry->id, contents.entries.size());
            contents.entries.append(std::move(*entry));
        }
    }
    contents.entries.removeIf([&](const TranscriptHistoryEntry& entry) { return withdrawn.contains(entry.id); });
    contents.damagedLines += damagedLines;
    if (damagedLines > 0) {
        m_keepAside = QStringLiteral("%1 lines did not decode").arg(damagedLines);
        qWarning("Transcript history journal %s: %d lines did not decode and are skipped", qUtf8Printable(m_path),
                 damagedLines);
    }
    return contents;
}

void TranscriptHistoryJournal::readForeignHeldLocked(Contents& contents, QHash<QUuid, qsizetype>& places) {
    m_foreignHeld.clear();
    const QFileInfo journal(m_path);
    const QString prefix = journal.fileName() + QStringLiteral(".held-");
    const QString own = prefix + m_run;
    const QDir folder = journal.dir();
    for (const QString& name :
         folder.entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::System | QDir::Hidden)) {
        if (name.startsWith(own) || name.contains(QStringLiteral(".corrupt-"))) continue;
        const QString path = folder.filePath(name);
        const StoreFile file = StoreFile::read(path, kMaximumSize);
        if (file.outcome == StoreFile::Outcome::missing) continue;
        auto entry = file.outcome == StoreFile::Outcome::read ? entryOfLine(file.bytes.trimmed()) : std::nullopt;
        m_foreignHeld.append({path, !entry});
        if (!entry) {
            ++contents.damagedLines;
            qWarning("Transcript history journal %s did not decode and is skipped", qUtf8Printable(path));
        } else if (!places.contains(entry->id)) {
            // Held right before its words were written or its paste keys sent, and that run ended
            // before the delivery told how it went: nothing says the words reached the field. Kept
            // as a copy, the outcome that claims no delivery; a line of its id in the journal, the
            // entry as the delivery ended, still takes its place.
            entry->completionKind = TranscriptHistoryCompletionKind::copiedToClipboard;
            places.insert(entry->id, contents.entries.size());
            contents.entries.append(std::move(*entry));
        }
    }
}

void TranscriptHistoryJournal::dropForeignHeldLocked() {
    for (const ForeignHeld& held : std::as_const(m_foreignHeld)) {
        if (!held.damaged) {
            QFile::remove(held.path);
        } else if (const auto aside = setAsideDamagedFile(held.path, m_now())) {
            qWarning("Transcript history journal %s kept as %s", qUtf8Printable(held.path), qUtf8Printable(*aside));
        }
    }
    m_foreignHeld.clear();
}

void TranscriptHistoryJournal::end(quint64 mark) {
    std::lock_guard lock(m_mutex);
    writeHandedOverLocked();
    endLocked(mark);
}

void TranscriptHistoryJournal::endRead(quint64 mark) {
    std::lock_guard lock(m_mutex);
    writeHandedOverLocked();
    // Entries this process added are still on their way to the file.
    if (m_own.isEmpty()) endLocked(mark);
}

void TranscriptHistoryJournal::endLocked(quint64 mark) {
    if (mark != this->mark()) return;
    if (m_keepAside.isEmpty()) {
        removeLocked();
        return;
    }
    if (const auto aside = setAsideDamagedFile(m_path, m_now())) {
        qWarning("Transcript history journal %s (%s) kept as %s", qUtf8Printable(m_path), qUtf8Printable(m_keepAside),
                 qUtf8Printable(*aside));
        m_keepAside.clear();
        m_own.clear();
        dropForeignHeldLocked();
    } else {
        qWarning("Transcript history journal %s (%s) cannot be moved aside; left in place", qUtf8Printable(m_path),
                 qUtf8Printable(m_keepAside));
    }
}

void TranscriptHistoryJournal::remove() {
    std::lock_guard lock(m_mutex);
    // Handed over before the history was cleared: written, then gone with the rest.
    writeHandedOverLocked();
    ++m_additions;
    m_keepAside.clear();
    removeLocked();
    // Whatever else holds transcripts of the history goes too: the copies of a damaged journal or
    // held file set aside, and held files of other runs. Those of this run stay: their words are
    // on their way into a field now.
    const QFileInfo journal(m_path);
    const QDir folder = journal.dir();
    const QString held = journal.fileName() + QStringLiteral(".held-");
    const QString own = held + m_run;
    for (const QString& name : folder.entryList({journal.fileName() + QStringLiteral(".corrupt-*"), held + u'*'},
                                                QDir::Files | QDir::System | QDir::Hidden)) {
        if (!name.startsWith(own)) QFile::remove(folder.filePath(name));
    }
}

void TranscriptHistoryJournal::removeLocked() {
    m_own.clear();
    QFile::remove(m_path);
    dropForeignHeldLocked();
}

}  // namespace quorvelle
