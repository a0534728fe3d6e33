#include "HeldCalls.h"

#include "Support/CancellationError.h"

#include <QCoroSignal>
#include <QPointer>

#include <algorithm>

namespace quorvelle::test {

class HeldCalls::Gate : public QObject {
    Q_OBJECT
public:
    bool isOpen = false;
    void open() {
        if (isOpen) return;
        isOpen = true;
        QMetaObject::invokeMethod(this, &Gate::opened, Qt::QueuedConnection);
    }
Q_SIGNALS:
    void opened();
};

int HeldCalls::waitingCount() const {
    return int(std::count_if(m_waiting.begin(), m_waiting.end(), [](const auto& gate) { return !gate->isOpen; }));
}

void HeldCalls::releaseAll() {
    for (const auto& gate : m_waiting)
        gate->open();
    m_waiting.clear();
}

bool HeldCalls::releaseOldest() {
    std::erase_if(m_waiting, [](const auto& gate) { return gate->isOpen; });
    if (m_waiting.empty()) return false;
    m_waiting.front()->open();
    m_waiting.erase(m_waiting.begin());
    return true;
}

QCoro::Task<void> HeldCalls::pass(std::stop_token stopToken) {
    throwIfStopped(stopToken);
    if (!m_holding) co_return;
    auto gate = std::make_shared<Gate>();
    m_waiting.push_back(gate);
    QPointer<Gate> guarded(gate.get());
    const std::stop_callback onStop(stopToken, [guarded] {
        if (guarded) QMetaObject::invokeMethod(guarded.data(), &Gate::open, Qt::QueuedConnection);
    });
    co_await qCoro(gate.get(), &Gate::opened);
    throwIfStopped(stopToken);
}

}  // namespace quorvelle::test

#include "HeldCalls.moc"
