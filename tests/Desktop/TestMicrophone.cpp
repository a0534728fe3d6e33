#include "TestMicrophone.h"

#include <QProcess>
#include <QTemporaryDir>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <chrono>

namespace quorvelle::test {

namespace {

QByteArray runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(20000);
    return process.exitCode() == 0 ? process.readAllStandardOutput() : QByteArray();
}

// Writes `bytes` in 20 ms chunks (640 bytes of 16 kHz mono 16-bit audio) no faster than a microphone
// would deliver them: the sound server reads a FIFO as fast as it fills, and a recording stopped
// right after a burst may not have received it yet. A chunk the pipe has no room for waits for a
// reader, or, when `dropsUnread`, is dropped (returned in the count) and the next one comes on time.
// Gives up when nobody records for 10 s, so a test that never started a recording fails instead of
// hanging.
qsizetype writeAll(int fd, const QByteArray& bytes, bool dropsUnread) {
    constexpr qsizetype kChunk = 640;
    const auto start = std::chrono::steady_clock::now();
    qsizetype dropped = 0;
    for (qsizetype offset = 0; offset < bytes.size();) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(offset / 32));
        const qsizetype size = std::min(bytes.size() - offset, kChunk);
        // A write of a chunk this small is whole or nothing.
        const ssize_t n = ::write(fd, bytes.constData() + offset, size_t(size));
        if (n > 0) {
            offset += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN) return dropped;
        if (dropsUnread) {
            dropped += size;
            offset += size;
            continue;
        }
        pollfd entry{fd, POLLOUT, 0};
        if (::poll(&entry, 1, 10000) != 1) return dropped;
    }
    return dropped;
}

}  // namespace

TestMicrophone::TestMicrophone() : m_path(qEnvironmentVariable("QUORVELLE_TEST_MIC_FIFO")) {}

TestMicrophone::~TestMicrophone() {
    finish();
}

QByteArray TestMicrophone::speech() {
    static const QByteArray pcm = [] {
        QTemporaryDir dir;
        const QString wav = dir.filePath(QStringLiteral("speech.wav"));
        runTool(QStringLiteral("espeak-ng"),
                {QStringLiteral("-w"), wav, QStringLiteral("Quorvelle writes what you say")});
        return runTool(QStringLiteral("sox"),
                       QStringList{wav} + QStringLiteral("-r 16000 -c 1 -b 16 -e signed -t raw -").split(u' '));
    }();
    return pcm;
}

void TestMicrophone::drain() {
    const int fd = ::open(m_path.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return;
    char buffer[4096];
    while (::read(fd, buffer, sizeof buffer) > 0) {
    }
    ::close(fd);
}

void TestMicrophone::speak(const QByteArray& pcm) {
    startWriter(pcm, false);
}

void TestMicrophone::speakLive(const QByteArray& pcm) {
    startWriter(pcm, true);
}

void TestMicrophone::startWriter(const QByteArray& pcm, bool dropsUnread) {
    finish();
    m_dropped = 0;
    m_writer = std::thread([this, path = m_path.toStdString(), pcm, dropsUnread] {
        // Opened blocking (a non-blocking open fails while the sound server has not opened its end);
        // the writes then give up when nobody records.
        const int fd = ::open(path.c_str(), O_WRONLY);
        if (fd < 0) return;
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETPIPE_SZ, kPipeBytes);
        m_dropped = writeAll(fd, pcm, dropsUnread);
        ::close(fd);
    });
}

void TestMicrophone::finish() {
    if (m_writer.joinable()) m_writer.join();
}

}  // namespace quorvelle::test
