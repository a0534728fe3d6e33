#include "Services/Storage/StoreFile.h"

#include "Support/StoreFileWriter.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace quorvelle {

StoreFile StoreFile::read(const QString& path, qint64 limit) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return {};
        return {Outcome::refused, {}, systemErrorText(errno)};
    }
    StoreFile result{Outcome::refused, {}, {}};
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        result.reason = systemErrorText(errno);
    } else if (!S_ISREG(info.st_mode)) {
        result.reason = QStringLiteral("not a regular file");
    } else if (info.st_size > limit) {
        result.reason = QStringLiteral("larger than %1 bytes").arg(limit);
    } else {
        // One byte more than allowed is asked for, so a file that grew meanwhile is still refused.
        QByteArray bytes(qsizetype(info.st_size) + 1, Qt::Uninitialized);
        qsizetype size = 0;
        for (;;) {
            if (size == bytes.size()) {
                if (size > limit) break;
                bytes.resize(std::min<qsizetype>(limit + 1, size * 2 + 4096));
            }
            const ssize_t n = ::read(fd, bytes.data() + size, size_t(bytes.size() - size));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                if (n < 0) result.reason = systemErrorText(errno);
                break;
            }
            size += n;
        }
        if (size > limit) {
            result.reason = QStringLiteral("larger than %1 bytes").arg(limit);
        } else if (result.reason.isEmpty()) {
            bytes.truncate(size);
            result = {Outcome::read, std::move(bytes), {}};
        }
    }
    ::close(fd);
    return result;
}

}  // namespace quorvelle
