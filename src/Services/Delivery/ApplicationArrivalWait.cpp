#include "Services/Delivery/ApplicationArrivalWait.h"

#include <chrono>

namespace quorvelle {

ApplicationArrivalWait::ApplicationArrivalWait(Probes probes, std::chrono::milliseconds wait)
    : m_probes(std::move(probes)), m_steps(int(std::max<qint64>(1, wait / kStep))) {}

bool ApplicationArrivalWait::isGivenUp(qint32 processIdentifier) {
    const auto givenUp = m_givenUp.constFind(processIdentifier);
    if (givenUp == m_givenUp.cend()) return false;
    if (m_probes.startTime(processIdentifier) == givenUp.value()) return true;
    // Another process has its number now.
    m_givenUp.erase(givenUp);
    return false;
}

bool ApplicationArrivalWait::mayArrive(qint32 processIdentifier) {
    return processIdentifier > 0 && !isGivenUp(processIdentifier) && m_probes.registersLate(processIdentifier) &&
           !m_probes.isOnBus(processIdentifier);
}

QCoro::Task<void> ApplicationArrivalWait::await(qint32 processIdentifier, std::stop_token stopToken) {
    if (!mayArrive(processIdentifier)) co_return;
    const std::optional<quint64> started = m_probes.startTime(processIdentifier);
    const double step = std::chrono::duration<double>(kStep).count();
    for (int index = 0; index < m_steps; ++index) {
        // The registry tells of a new application on the bus, which the event loop takes in meanwhile.
        co_await m_probes.sleep(step, stopToken);
        if (m_probes.isOnBus(processIdentifier)) co_return;
    }
    if (started) m_givenUp.insert(processIdentifier, *started);
}

}  // namespace quorvelle
