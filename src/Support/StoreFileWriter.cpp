#include "Support/StoreFileWriter.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quorvelle {

namespace {

// Large enough that a whole history goes out in few system calls.
constexpr qsizetype kBufferSize = qsizetype(1) << 20;

}  // namespace

QString systemErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

std::optional<QString> writeEveryByte(int fd, const QByteArray& bytes) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? systemErrorText(errno) : QStringLiteral("nothing could be written");
        written += n;
    }
    return std::nullopt;
}

StoreFileWriter::StoreFileWriter(const QString& path) : m_file(path) {
    if (!m_file.open(QIODevice::WriteOnly) ||
        !m_file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        m_failure = m_file.errorString();
    }
}

void StoreFileWriter::fail(const QString& reason) {
    if (!m_failure) m_failure = reason;
}

bool StoreFileWriter::write(const QByteArray& bytes) {
    if (m_failure) return false;
    // A whole file handed over at once goes out as it is, without a copy into the buffer.
    if (m_buffer.isEmpty() && bytes.size() >= kBufferSize) return writeAll(bytes);
    m_buffer.append(bytes);
    return m_buffer.size() < kBufferSize || flushBuffer();
}

bool StoreFileWriter::flushBuffer() {
    const bool written = writeAll(m_buffer);
    m_buffer.clear();
    return written;
}

bool StoreFileWriter::writeAll(const QByteArray& bytes) {
    // Straight to the descriptor, past Qt's buffer, so that errno is the one of the failed write.
    if (auto failure = writeEveryByte(m_file.handle(), bytes)) {
        fail(*failure);
        return false;
    }
    return true;
}

std::optional<QString> StoreFileWriter::commit() {
    if (!m_failure) flushBuffer();
    if (m_failure) {
        m_file.cancelWriting();
        return m_failure;
    }
    if (!m_file.commit()) return m_file.errorString();
    return std::nullopt;
}

}  // namespace quorvelle
