#include "Services/Storage/TranscriptHistoryJournal.h"

#include "Services/Storage/DamagedFile.h"
#include "Services/Storage/StoreFile.h"
#include "Support/StoreFileWriter.h"

#include <QFile>
#include <QJsonDocument>
#include <QtDebug>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

}  // namespace

TranscriptHistoryJournal::TranscriptHistoryJournal(QString path, std::function<QDateTime()> now)
    : m_path(std::move(path)), m_now(std::move(now)) {}

std::optional<QString> TranscriptHistoryJournal::append(const QList<TranscriptHistoryEntry>& entries) {
    if (entries.isEmpty()) return std::nullopt;
    QByteArray lines;
    for (const TranscriptHistoryEntry& entry : entries)
        lines += QJsonDocument(entry.toJson()).toJson(QJsonDocument::Compact) + '\n';
    // Never through a link, never waiting on a FIFO; the user's eyes only, like the history.
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

TranscriptHistoryJournal::Contents TranscriptHistoryJournal::read() {
    m_keepAside.clear();
    const StoreFile file = StoreFile::read(m_path, kMaximumSize);
    Contents contents;
    if (file.outcome == StoreFile::Outcome::missing) return contents;
    if (file.outcome == StoreFile::Outcome::refused) {
        contents.refused = file.reason;
        m_keepAside = file.reason;
        qWarning("Transcript history journal %s cannot be read: %s", qUtf8Printable(m_path),
                 qUtf8Printable(file.reason));
        return contents;
    }
    for (const QByteArray& line : file.bytes.split('\n')) {
        if (line.trimmed().isEmpty()) continue;
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        auto entry = error.error == QJsonParseError::NoError && document.isObject()
                         ? TranscriptHistoryEntry::fromJson(document.object())
                         : std::nullopt;
        if (entry)
            contents.entries.append(std::move(*entry));
        else
            ++contents.damagedLines;
    }
    if (contents.damagedLines > 0) {
        m_keepAside = QStringLiteral("%1 lines did not decode").arg(contents.damagedLines);
        qWarning("Transcript history journal %s: %d lines did not decode and are skipped", qUtf8Printable(m_path),
                 contents.damagedLines);
    }
    return contents;
}

void TranscriptHistoryJournal::end() {
    if (m_keepAside.isEmpty()) {
        QFile::remove(m_path);
        return;
    }
    if (const auto aside = setAsideDamagedFile(m_path, m_now())) {
        qWarning("Transcript history journal %s (%s) kept as %s", qUtf8Printable(m_path), qUtf8Printable(m_keepAside),
                 qUtf8Printable(*aside));
        m_keepAside.clear();
    } else {
        qWarning("Transcript history journal %s (%s) cannot be moved aside; left in place", qUtf8Printable(m_path),
                 qUtf8Printable(m_keepAside));
    }
}

void TranscriptHistoryJournal::remove() {
    QFile::remove(m_path);
    m_keepAside.clear();
}

}  // namespace quorvelle
