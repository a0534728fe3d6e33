// ModelFileWriter: the body of a model download written to its file and hashed by a thread of its
// own, chunk after chunk in the order they were handed over, so that neither the disk nor the
// hashing (seconds of processor time for a large model) holds the thread that reads the network.
#pragma once

#include "Services/Transcription/LocalModelManagerError.h"
#include "Services/Transcription/ModelFileDigest.h"
#include "Support/HandOverQueue.h"

#include <QByteArray>
#include <QCoroTask>
#include <QFile>
#include <QPointer>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

namespace quorvelle {

struct DownloadedFile;

class ModelFileWriter {
public:
    // Bytes handed over and not written yet past which hasRoom() says no, and to which the
    // backlog falls before the caller is told there is room again.
    static constexpr qint64 kBacklogLimit = qint64(16) << 20;
    static constexpr qint64 kResumeLevel = kBacklogLimit / 2;

    // Opens the file (created, or emptied by the writing thread first) on the calling thread and
    // starts the writing thread. Throws LocalModelFileError when either cannot be had.
    explicit ModelFileWriter(QString path);
    // Stops the thread once the chunk it is writing is done, dropping the rest (the download
    // failed or was stopped), and closes the file.
    ~ModelFileWriter();
    ModelFileWriter(const ModelFileWriter&) = delete;
    ModelFileWriter& operator=(const ModelFileWriter&) = delete;

    // Hands a chunk to the thread; never waits. Dropped once a write has failed.
    void write(QByteArray chunk);
    // Whether the backlog leaves room for more. When it does not, the notice given to
    // whenReady() comes once the backlog has fallen to kResumeLevel.
    bool hasRoom();
    // A write failed: what the download ends with. Nothing until the thread met it.
    std::optional<LocalModelFileError> failure() const;
    // Runs `ready` on the calling thread when there is room again after hasRoom() said no, and when
    // a write failed; never once `context` is gone.
    void whenReady(QObject* context, std::function<void()> ready);
    // Resumes once every chunk handed over is in the file, with the file's size and checksums.
    // Throws the write's LocalModelFileError when one failed.
    QCoro::Task<DownloadedFile> finish();

private:
    struct Item {
        QByteArray chunk;
        std::function<void()> job;  // run in turn instead of a chunk
    };

    void work();
    void take(const QByteArray& chunk);
    // Records the refusal of the last write or flush; read at once, while errno is still that call's.
    void failedToWrite();
    DownloadedFile finishOnThread();
    // Runs the caller's notice on its own thread.
    void postReady();

    QString m_path;
    QFile m_file;  // the thread's once it has started
    ModelFileDigest m_digest;
    qint64 m_written = 0;
    // The thread's, then published by m_failed.
    std::optional<LocalModelFileError> m_failure;
    std::atomic<bool> m_failed = false;

    HandOverQueue<Item> m_queue;
    std::atomic<qint64> m_backlog = 0;
    std::atomic<bool> m_wantsRoom = false;
    std::atomic<bool> m_stopping = false;
    // On the calling thread: the thread's notices are posted to it, and dropped with it.
    QObject* m_notices;
    QPointer<QObject> m_readyContext;
    std::function<void()> m_ready;
    std::thread m_thread;
};

}  // namespace quorvelle
