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

constexpr int kPipeBytes = 4096;

QByteArray runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(20000);
    return process.exitCode() == 0 ? process.readAllStandardOutput() : QByteArray();
}

// Gives up when nobody records for a while, so a test that never started a recording fails
// instead of hanging.
constexpr int kStallMs = 10000;

// 20 ms of 16 kHz mono 16-bit audio.
constexpr qsizetype kChunkBytes = 640;

// Writes `bytes` no faster than a microphone would deliver them: the sound server reads a FIFO as
// fast as it fills, and a recording stopped right after a burst may not have received it yet.
void writeAll(int fd, const QByteArray& bytes) {
    const auto start = std::chrono::steady_clock::now();
    qsizetype offset = 0;
    while (offset < bytes.size()) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(20 * (offset / kChunkBytes)));
        const qsizetype end = std::min(bytes.size(), offset + kChunkBytes);
        while (offset < end) {
            const ssize_t n = ::write(fd, bytes.constData() + offset, size_t(end - offset));
            if (n > 0) {
                offset += n;
                continue;
            }
            if (n < 0 && errno != EAGAIN) return;
            pollfd entry{fd, POLLOUT, 0};
            if (::poll(&entry, 1, kStallMs) != 1) return;
        }
    }
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
    finish();
    m_writer = std::thread([path = m_path.toStdString(), pcm] {
        // Opened blocking (a non-blocking open fails while the sound server has not opened its end);
        // the writes then give up when nobody records.
        const int fd = ::open(path.c_str(), O_WRONLY);
        if (fd < 0) return;
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETPIPE_SZ, kPipeBytes);
        writeAll(fd, pcm);
        ::close(fd);
    });
}

void TestMicrophone::finish() {
    if (m_writer.joinable()) m_writer.join();
}

}  // namespace quorvelle::test
