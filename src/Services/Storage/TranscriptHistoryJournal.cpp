#include "Services/Storage/TranscriptHistoryJournal.h"

#include "Services/Storage/BatchThread.h"
#include "Services/Storage/DamagedFile.h"
#include "Services/Storage/StoreFile.h"
#include "Support/JsonCoding.h"
#include "Support/StoreFileWriter.h"

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtDebug>

#include <fcntl.h>
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

// A line of its own kind, so that no reader takes it for an entry.
const QString kWithdrawnKey = QStringLiteral("withdrawn");

QByteArray withdrawalLineOf(const QUuid& id) {
    return QJsonDocument(QJsonObject{{kWithdrawnKey, json::uuidToText(id)}}).toJson(QJsonDocument::Compact) + '\n';
}

}  // namespace

TranscriptHistoryJournal::TranscriptHistoryJournal(QString path, std::function<QDateTime()> now)
    : m_path(std::move(path)), m_now(std::move(now)) {}

TranscriptHistoryJournal::~TranscriptHistoryJournal() {
    m_stopping.store(true, std::memory_order_release);
    m_handed.wake();
    if (m_writer.joinable()) m_writer.join();
}

void TranscriptHistoryJournal::append(const QList<TranscriptHistoryEntry>& entries) {
    if (!entries.isEmpty()) handOver({entries, false, std::nullopt});
}

void TranscriptHistoryJournal::hold(const TranscriptHistoryEntry& entry) {
    handOver({{entry}, true, std::nullopt});
}

void TranscriptHistoryJournal::withdraw(const QUuid& id) {
    handOver({{}, false, id});
}

void TranscriptHistoryJournal::handOver(Addition addition) {
    // Started at the first entry: a journal only read needs no thread.
    std::call_once(m_writerStarted, &TranscriptHistoryJournal::startWriter, this);
    // Counted as it is handed over: a mark taken from now on includes it.
    ++m_additions;
    ++m_queued;
    m_handed.push(std::move(addition));
    if (m_writesInline) writeHandedOver();
}

void TranscriptHistoryJournal::startWriter() {
    try {
        m_writer = std::thread(&TranscriptHistoryJournal::work, this);
    } catch (const std::system_error&) {
        m_writesInline = true;
    }
}

void TranscriptHistoryJournal::work() {
    becomeBatchThread(true);
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
    if (addition.withdrawn) {
        m_held.removeIf([&](const TranscriptHistoryEntry& held) { return held.id == *addition.withdrawn; });
        // Nothing held is left to write at the journal's end; the line matters only to a reader after a kill.
        if (const auto failure = appendLinesLocked(withdrawalLineOf(*addition.withdrawn))) {
            qWarning("Transcript history journal %s cannot be written: %s", qUtf8Printable(m_path),
                     qUtf8Printable(*failure));
        }
        return;
    }
    // A held entry is kept even when its line did not go in: the next end of the journal writes it again.
    if (addition.held) m_held.append(addition.entries);
    const std::optional<QString> failure = appendLocked(addition.entries);
    if (failure) {
        qWarning("Transcript history journal %s cannot be written: %s", qUtf8Printable(m_path),
                 qUtf8Printable(*failure));
    } else if (!addition.held) {
        m_held.removeIf([&](const TranscriptHistoryEntry& held) {
            return std::any_of(addition.entries.cbegin(), addition.entries.cend(),
                               [&](const TranscriptHistoryEntry& entry) { return entry.id == held.id; });
        });
    }
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

std::optional<QString> TranscriptHistoryJournal::appendLinesLocked(
    const QByteArray&
        lines) {  // Never through a link, never waiting on a FIFO; the user's eyes only, like the history.
    const int fd = ::open(QFile::encodeName(m_path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
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
        failure = appendAll(fd, lines, info.st_size);
    ::close(fd);
    return failure;
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
    const StoreFile file = StoreFile::read(m_path, kMaximumSize);
    if (file.outcome == StoreFile::Outcome::missing) return contents;
    if (file.outcome == StoreFile::Outcome::refused) {
        contents.refused = file.reason;
        m_keepAside = file.reason;
        qWarning("Transcript history journal %s cannot be read: %s", qUtf8Printable(m_path),
                 qUtf8Printable(file.reason));
        return contents;
    }
    QHash<QUuid, qsizetype> places;
    QSet<QUuid> withdrawn;
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
            ++contents.damagedLines;
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
    if (contents.damagedLines > 0) {
        m_keepAside = QStringLiteral("%1 lines did not decode").arg(contents.damagedLines);
        qWarning("Transcript history journal %s: %d lines did not decode and are skipped", qUtf8Printable(m_path),
                 contents.damagedLines);
    }
    return contents;
}

void TranscriptHistoryJournal::end(quint64 mark) {
    std::lock_guard lock(m_mutex);
    writeHandedOverLocked();
    endLocked(mark);
}

void TranscriptHistoryJournal::endRead(quint64 mark) {
    std::lock_guard lock(m_mutex);
    writeHandedOverLocked();
    const bool onTheirWay = std::any_of(m_own.cbegin(), m_own.cend(), [&](const QUuid& id) {
        return std::none_of(m_held.cbegin(), m_held.cend(),
                            [&](const TranscriptHistoryEntry& held) { return held.id == id; });
    });
    if (!onTheirWay) endLocked(mark);
}

void TranscriptHistoryJournal::endLocked(quint64 mark) {
    if (mark != this->mark()) return;
    if (m_keepAside.isEmpty()) {
        keepOnlyHeldLocked();
        return;
    }
    if (const auto aside = setAsideDamagedFile(m_path, m_now())) {
        qWarning("Transcript history journal %s (%s) kept as %s", qUtf8Printable(m_path), qUtf8Printable(m_keepAside),
                 qUtf8Printable(*aside));
        m_keepAside.clear();
        m_own.clear();
        // The held entries went aside with the rest: they go on here, an addition of their own.
        ++m_additions;
        if (const auto failure = appendLocked(m_held)) {
            qWarning("Transcript history journal %s cannot be written: %s", qUtf8Printable(m_path),
                     qUtf8Printable(*failure));
        }
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
    keepOnlyHeldLocked();
}

void TranscriptHistoryJournal::keepOnlyHeldLocked() {
    m_own.clear();
    for (const TranscriptHistoryEntry& entry : std::as_const(m_held))
        m_own.insert(entry.id);
    if (m_held.isEmpty()) {
        QFile::remove(m_path);
        return;
    }
    // Replaced in one step: a process killed meanwhile finds the old journal or the new one.
    StoreFileWriter file(m_path);
    for (const TranscriptHistoryEntry& entry : std::as_const(m_held))
        file.write(lineOf(entry));
    if (const auto failure = file.commit()) {
        qWarning("Transcript history journal %s cannot be written: %s", qUtf8Printable(m_path),
                 qUtf8Printable(*failure));
    }
}

}  // namespace quorvelle
