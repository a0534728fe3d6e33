#include "Support/TaskScope.h"

#include "Support/CancellationError.h"

#include <QLoggingCategory>

#include <algorithm>

namespace quorvelle {

namespace {
Q_LOGGING_CATEGORY(taskLog, "quorvelle.tasks")

QString describe(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("unknown exception");
    }
}
}  // namespace

TaskScope::TaskScope(QObject* owner, FailureHandler onFailure)
    : m_owner(owner), m_shared(std::make_shared<Shared>(Shared{std::move(onFailure), true})) {}

TaskScope::~TaskScope() {
    m_shared->alive = false;
    cancelAll();
}

TaskHandle TaskScope::start(Body body) {
    std::erase_if(m_jobs, [](const std::weak_ptr<TaskHandle::State>& job) {
        const auto state = job.lock();
        return !state || state->finished;
    });
    auto state = std::make_shared<TaskHandle::State>();
    m_jobs.push_back(state);
    TaskGuard guard{m_owner, state->stop.get_token()};
    // The coroutine keeps itself alive until it finishes; dropping its Task does not end it.
    run(std::move(body), std::move(guard), state, m_shared);
    return TaskHandle(state);
}

void TaskScope::cancelAll() {
    for (const auto& job : m_jobs) {
        if (const auto state = job.lock()) state->stop.request_stop();
    }
    m_jobs.clear();
}

QCoro::Task<void> TaskScope::run(Body body, TaskGuard guard, std::shared_ptr<TaskHandle::State> state,
                                 std::shared_ptr<Shared> shared) {
    std::exception_ptr failure;
    try {
        co_await body(guard);
    } catch (const CancellationError&) {
    } catch (...) {
        failure = std::current_exception();
    }
    state->finished = true;
    if (!failure) co_return;
    qCWarning(taskLog) << "A background task failed:" << describe(failure);
    if (shared->alive && shared->onFailure) {
        try {
            shared->onFailure(failure);
        } catch (...) {
            qCWarning(taskLog) << "The task failure handler failed too.";
        }
    }
}

}  // namespace quorvelle
