#pragma once

#include <QCoroTask>
#include <QObject>

#include <memory>
#include <stop_token>
#include <vector>

namespace quorvelle::test {

// Lets a test hold asynchronous fake calls open until it releases them. While holding is off, a
// call passes straight through. A stop request releases the call it belongs to, which then ends
// with CancellationError, as the real services do.
class HeldCalls {
public:
    void setHolding(bool holding) { m_holding = holding; }
    int waitingCount() const;
    // Lets every waiting call go on, each on a later turn of the event loop.
    void releaseAll();
    // Lets the oldest waiting call go on; false when none waits.
    bool releaseOldest();

    // Awaited by a fake at the point where the real service would wait on the outside world.
    QCoro::Task<void> pass(std::stop_token stopToken);

private:
    class Gate;
    std::vector<std::shared_ptr<Gate>> m_waiting;
    bool m_holding = false;
};

}  // namespace quorvelle::test
