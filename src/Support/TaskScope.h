#pragma once

#include "Support/TaskHandle.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>

#include <exception>
#include <functional>
#include <memory>
#include <stop_token>
#include <vector>

namespace quorvelle {

// What a running job checks after every co_await: its owner still exists and nobody asked it to
// stop. A job whose guard is false returns without touching anything.
struct TaskGuard {
    QPointer<QObject> owner;
    std::stop_token stopToken;

    bool isLive() const { return owner && !stopToken.stop_requested(); }
    explicit operator bool() const { return isLive(); }
};

// Starts the jobs of one owner on the owner's (main) thread and stops them all when the owner goes.
//
// A job is a coroutine body given a TaskGuard. It runs at once up to its first suspension. A
// CancellationError that leaves the body is the job's normal end after a stop; any other exception
// reaches the failure handler (and the log) instead of vanishing with the dropped coroutine.
class TaskScope {
public:
    using Body = std::function<QCoro::Task<void>(TaskGuard guard)>;
    using FailureHandler = std::function<void(std::exception_ptr failure)>;

    explicit TaskScope(QObject* owner, FailureHandler onFailure = {});
    ~TaskScope();
    TaskScope(const TaskScope&) = delete;
    TaskScope& operator=(const TaskScope&) = delete;

    TaskHandle start(Body body);
    // Stops every job started here that still runs.
    void cancelAll();

private:
    struct Shared {
        FailureHandler onFailure;
        bool alive = true;
    };
    static QCoro::Task<void> run(Body body, TaskGuard guard, std::shared_ptr<TaskHandle::State> state,
                                 std::shared_ptr<Shared> shared);

    QPointer<QObject> m_owner;
    std::shared_ptr<Shared> m_shared;
    std::vector<std::weak_ptr<TaskHandle::State>> m_jobs;
};

}  // namespace quorvelle
