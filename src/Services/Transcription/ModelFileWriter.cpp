#include "Services/Transcription/ModelFileWriter.h"

#include "Services/Storage/BatchThread.h"
#include "Services/Transcription/ModelFileDownload.h"
#include "Support/ThreadPoolTask.h"

#include <QMetaObject>

#include <cerrno>
#include <system_error>

namespace quorvelle {

ModelFileWriter::ModelFileWriter(QString path) : m_path(std::move(path)), m_file(m_path) {
    // Not truncated here: dropping the pages of a large file left from an earlier attempt takes
    // milliseconds per hundred megabytes. The thread does it before the first chunk.
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        throw LocalModelFileError(LocalModelFileError::Case::writeFailed, m_path, m_file.errorString());
    m_notices = new QObject;
    try {
        m_thread = std::thread(&ModelFileWriter::work, this);
    } catch (const std::system_error& error) {
        delete m_notices;
        throw LocalModelFileError(LocalModelFileError::Case::writeFailed, m_path, QString::fromLocal8Bit(error.what()));
    }
}

ModelFileWriter::~ModelFileWriter() {
    m_stopping.store(true, std::memory_order_release);
    m_queue.wake();
    m_thread.join();
    // Notices still on their way go with it.
    delete m_notices;
}

void ModelFileWriter::write(QByteArray chunk) {
    if (chunk.isEmpty() || m_failed.load(std::memory_order_acquire)) return;
    m_backlog += chunk.size();
    m_queue.push({std::move(chunk), {}});
}

bool ModelFileWriter::hasRoom() {
    if (m_backlog < kBacklogLimit) return true;
    m_wantsRoom = true;
    // The thread may have caught up between the two looks; then it has not seen the wish, or
    // has and posts the notice: whoever takes the wish back acts on it.
    return m_backlog <= kResumeLevel && m_wantsRoom.exchange(false);
}

std::optional<LocalModelFileError> ModelFileWriter::failure() const {
    if (!m_failed.load(std::memory_order_acquire)) return std::nullopt;
    return m_failure;
}

void ModelFileWriter::whenReady(QObject* context, std::function<void()> ready) {
    m_readyContext = context;
    m_ready = std::move(ready);
}

QCoro::Task<DownloadedFile> ModelFileWriter::finish() {
    return awaitPostedJob(
        [this](std::function<void()> job) {
            m_queue.push({{}, std::move(job)});
        },
        [this] { return finishOnThread(); });
}

void ModelFileWriter::work() {
    becomeBatchThread(false);
    if (m_file.size() > 0 && !m_file.resize(0)) {
        failedToWrite();
        postReady();
    }
    while (!m_stopping.load(std::memory_order_acquire)) {
        m_queue.wait();
        for (Item& item : m_queue.takeAll()) {
            // Stopped: what is left was for a download that ended; the chunk under way was finished.
            if (m_stopping.load(std::memory_order_acquire)) break;
            if (item.job) {
                item.job();
                continue;
            }
            take(item.chunk);
            const qint64 left = m_backlog -= item.chunk.size();
            if (left <= kResumeLevel && m_wantsRoom && m_wantsRoom.exchange(false)) postReady();
        }
    }
}

void ModelFileWriter::take(const QByteArray& chunk) {
    if (m_failure) return;
    if (m_file.write(chunk) != chunk.size()) {
        failedToWrite();
        postReady();
        return;
    }
    m_digest.addData(chunk);
    m_written += chunk.size();
}

void ModelFileWriter::failedToWrite() {
    const bool full = errno == ENOSPC || errno == EDQUOT;
    m_failure = LocalModelFileError(full ? LocalModelFileError::Case::noSpace : LocalModelFileError::Case::writeFailed,
                                    m_path, m_file.errorString());
    m_failed.store(true, std::memory_order_release);
}

DownloadedFile ModelFileWriter::finishOnThread() {
    if (!m_failure && !m_file.flush()) failedToWrite();
    if (m_failure) throw *m_failure;
    m_file.close();
    return {m_written, m_digest.sha1(), m_digest.sha256()};
}

void ModelFileWriter::postReady() {
    QMetaObject::invokeMethod(
        m_notices,
        [this] {
            if (m_readyContext && m_ready) m_ready();
        },
        Qt::QueuedConnection);
}

}  // namespace quorvelle
