// SerialWorkQueue: one worker thread that runs submitted jobs one at a time, in submission order.
// A job's result (or the exception it threw) comes back to the awaiting coroutine on its own thread.
#pragma once

#include "Support/ThreadPoolTask.h"

#include <QObject>
#include <QThread>

#include <QCoroTask>

#include <functional>
#include <type_traits>

namespace quorvelle {

class SerialWorkQueue {
public:
    explicit SerialWorkQueue(const QString& name);
    // Lets every job submitted so far run to its end, then stops the thread.
    ~SerialWorkQueue();

    SerialWorkQueue(const SerialWorkQueue&) = delete;
    SerialWorkQueue& operator=(const SerialWorkQueue&) = delete;

    // Runs the job on the worker thread after every job submitted before it; the awaiting caller
    // resumes on its own thread with the job's result or the exception the job threw.
    template <typename Job>
    auto run(Job job) -> QCoro::Task<std::invoke_result_t<Job>> {
        return awaitPostedJob([this](std::function<void()> work) { post(std::move(work)); }, std::move(job));
    }

    // Runs the work on the worker thread after every job submitted before it, and waits for it.
    void runAndWait(const std::function<void()>& work);

    bool isWorkerThread() const { return QThread::currentThread() == &m_thread; }

private:
    void post(std::function<void()> work);

    QThread m_thread;
    QObject* m_worker;  // lives on m_thread; jobs are delivered to it as queued calls
};

}  // namespace quorvelle
