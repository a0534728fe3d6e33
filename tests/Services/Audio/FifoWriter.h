#pragma once

#include <QByteArray>

#include <fcntl.h>
#include <unistd.h>
#include <string>

namespace quorvelle::test {

// Writes all of `bytes` into the FIFO of a test microphone; blocks while the pipe is full.
inline void writeToFifo(const std::string& path, const QByteArray& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY);
    if (fd < 0) return;
    qsizetype offset = 0;
    while (offset < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + offset, static_cast<size_t>(bytes.size() - offset));
        if (n <= 0) break;
        offset += n;
    }
    ::close(fd);
}

}  // namespace quorvelle::test
