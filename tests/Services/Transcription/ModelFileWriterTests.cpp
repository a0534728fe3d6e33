#include "Services/Transcription/LocalModelManagerError.h"
#include "Services/Transcription/ModelFileDownload.h"
#include "Services/Transcription/ModelFileWriter.h"
#include "Support/TestEventLoop.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <thread>

namespace quorvelle {
namespace {

QString hex(const QByteArray& bytes, QCryptographicHash::Algorithm algorithm) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, algorithm).toHex());
}

QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(size);
    for (char& byte : bytes)
        byte = char(generator.generate());
    return bytes;
}

// A FIFO whose reader takes what the writer sends only as far as it is let: beyond that, the
// writer's thread is stuck in a write, and what is handed over piles up behind it.
class HeldPipe {
public:
    explicit HeldPipe(const QString& path) {
        if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0) throw std::runtime_error("no FIFO");
        // Open for reading first: the writer's open would wait for a reader.
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
        ::fcntl(m_fd, F_SETFL, 0);
        m_reader = std::thread([this] {
            char buffer[1 << 16];
            for (;;) {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [this] { return m_received.size() < m_allowed; });
                const qint64 wanted = std::min<qint64>(sizeof buffer, m_allowed - m_received.size());
                lock.unlock();
                const ssize_t got = ::read(m_fd, buffer, size_t(wanted));
                lock.lock();
                if (got == 0) {
                    m_ended = true;
                    m_changed.notify_all();
                    return;
                }
                if (got > 0) m_received.append(buffer, got);
                m_changed.notify_all();
            }
        });
    }
    ~HeldPipe() {
        readEverything();
        m_reader.join();
        ::close(m_fd);
    }
    // Blocks until the writer has sent this much, and lets it send no more.
    void readUpTo(qint64 total) {
        std::unique_lock lock(m_mutex);
        m_allowed = total;
        m_changed.notify_all();
        m_changed.wait(lock, [&] { return m_received.size() >= total || m_ended; });
    }
    void readEverything() {
        std::lock_guard lock(m_mutex);
        m_allowed = std::numeric_limits<qint64>::max();
        m_changed.notify_all();
    }
    // Everything the writer sent, once it closed the file.
    QByteArray received() {
        readEverything();
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_ended; });
        return m_received;
    }

private:
    int m_fd = -1;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    qint64 m_allowed = 0;
    bool m_ended = false;
    QByteArray m_received;
    std::thread m_reader;
};

class ModelFileWriterTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString path(const char* name) const { return QDir(folder.path()).filePath(QString::fromLatin1(name)); }
    // Turns the event loop until the writer's notice ends it; a notice that never comes fails the test.
    static void untilNotice(QEventLoop& loop) {
        bool timedOut = false;
        QTimer::singleShot(30'000, &loop, [&] {
            timedOut = true;
            loop.quit();
        });
        loop.exec();
        EXPECT_FALSE(timedOut) << "no notice came";
    }
};

TEST_F(ModelFileWriterTest, ChunksWrittenOffTheCallersThreadMakeTheFileAndItsChecksumsInOrder) {
    // Longer than what comes: a file left from an earlier attempt is emptied first.
    QFile earlier(path("model.bin"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write(QByteArray(3 << 20, 'e'));
    earlier.close();
    QByteArray whole;
    {
        ModelFileWriter writer(path("model.bin"));
        // Sizes that do not line up with the hashes' blocks, and an empty chunk.
        for (const qsizetype size : {1, 63, 0, 64, 65, 4096, 1 << 20, 333'333, 7}) {
            const QByteArray chunk = randomBytes(size);
            whole += chunk;
            writer.write(chunk);
        }
        const DownloadedFile file = test::runTask(writer.finish());
        EXPECT_EQ(file.byteCount, whole.size());
        EXPECT_EQ(file.sha1, hex(whole, QCryptographicHash::Sha1));
        EXPECT_EQ(file.sha256, hex(whole, QCryptographicHash::Sha256));
    }
    QFile written(path("model.bin"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), whole);

    ModelFileWriter empty(path("empty.bin"));
    const DownloadedFile nothing = test::runTask(empty.finish());
    EXPECT_EQ(std::tuple(nothing.byteCount, nothing.sha256),
              std::tuple(qint64(0), hex({}, QCryptographicHash::Sha256)));
}

// The disk (here a pipe nobody reads yet) is behind: the caller is told to stop handing over, then
// told once, when the backlog has gone down, that it may go on; nothing is lost or reordered.
TEST_F(ModelFileWriterTest, ABacklogPastItsLimitHoldsTheCallerUntilTheThreadCatchesUp) {
    HeldPipe pipe(path("pipe"));
    ModelFileWriter writer(path("pipe"));
    QByteArray whole;
    const QByteArray piece = randomBytes(1 << 20);
    QObject context;
    int ready = 0;
    QEventLoop loop;
    writer.whenReady(&context, [&] {
        ++ready;
        loop.quit();
    });
    int handed = 0;
    for (; writer.hasRoom(); ++handed) {
        ASSERT_LT(handed, 64) << "the backlog never filled";
        writer.write(piece);
        whole += piece;
    }
    EXPECT_GE(qint64(handed) * piece.size(), ModelFileWriter::kBacklogLimit);
    pipe.readEverything();
    untilNotice(loop);
    EXPECT_EQ(ready, 1);
    EXPECT_TRUE(writer.hasRoom());
    writer.write(piece.first(1000));
    whole += piece.first(1000);
    const DownloadedFile file = test::runTask(writer.finish());
    EXPECT_EQ(file.sha256, hex(whole, QCryptographicHash::Sha256));
    EXPECT_EQ(pipe.received(), whole);
    EXPECT_EQ(ready, 1);
}

// A download that ends while chunks wait: the thread finishes the one under way, drops the rest,
// also those it had taken already, and ends, so the caller can remove the partial file at once.
TEST_F(ModelFileWriterTest, EndedWithABacklogTheThreadStopsAfterTheChunkUnderWay) {
    HeldPipe pipe(path("pipe"));
    const QByteArray piece = randomBytes(1 << 20);
    {
        ModelFileWriter writer(path("pipe"));
        for (int handed = 0; handed < 20; ++handed)
            writer.write(piece);
        // The first chunk is through and the thread is in the second, the rest taken or waiting.
        pipe.readUpTo(piece.size() + piece.size() / 2);
        pipe.readEverything();
    }
    // Two, unless this thread was held up long enough for the writer's to go on meanwhile.
    const QByteArray received = pipe.received();
    EXPECT_LT(received.size(), 20 * piece.size());
    EXPECT_EQ(received, piece.repeated(received.size() / piece.size()));
}

TEST_F(ModelFileWriterTest, AFailedWriteIsToldDropsWhatFollowsAndEndsTheFile) {
    ModelFileWriter writer(QStringLiteral("/dev/full"));
    QObject context;
    QEventLoop loop;
    writer.whenReady(&context, [&] { loop.quit(); });
    writer.write(QByteArray(1 << 16, 'x'));
    untilNotice(loop);
    ASSERT_TRUE(writer.failure());
    EXPECT_EQ(writer.failure()->errorCase(), LocalModelFileError::Case::noSpace);
    writer.write(QByteArray(10, 'x'));
    const auto failed = test::failureOf<LocalModelFileError>(writer.finish());
    EXPECT_EQ(failed.value().errorCase(), LocalModelFileError::Case::noSpace);

    // A file that cannot be opened fails at once, on the caller's thread.
    const QString underAFile = path("file") + QStringLiteral("/model.bin");
    QFile(path("file")).open(QIODevice::WriteOnly);
    try {
        ModelFileWriter refused(underAFile);
        ADD_FAILURE() << "opened under a regular file";
    } catch (const LocalModelFileError& error) {
        EXPECT_EQ(error.errorCase(), LocalModelFileError::Case::writeFailed);
    }
}

}  // namespace
}  // namespace quorvelle
