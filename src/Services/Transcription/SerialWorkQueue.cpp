#include "Services/Transcription/SerialWorkQueue.h"

#include <QMetaObject>

namespace quorvelle {

SerialWorkQueue::SerialWorkQueue(const QString& name) : m_worker(new QObject) {
    m_thread.setObjectName(name);
    m_worker->moveToThread(&m_thread);
    m_thread.start();
}

SerialWorkQueue::~SerialWorkQueue() {
    // Queued calls still waiting when the loop quits would be dropped with their promises unkept.
    runAndWait([] {});
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
}

void SerialWorkQueue::post(std::function<void()> work) {
    QMetaObject::invokeMethod(m_worker, std::move(work), Qt::QueuedConnection);
}

void SerialWorkQueue::runAndWait(const std::function<void()>& work) {
    if (isWorkerThread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(m_worker, work, Qt::BlockingQueuedConnection);
}

}  // namespace quorvelle
