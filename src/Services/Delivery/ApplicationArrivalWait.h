#pragma once

#include "Support/CancellableSleep.h"

#include <QCoroTask>
#include <QHash>

#include <chrono>
#include <functional>
#include <optional>
#include <stop_token>

namespace quorvelle {

// Some toolkits put their application on the accessibility bus only a moment after its first window
// shows (GTK 4; GTK 3's bridge): until then the window shows no tree, and a password field focused
// from the start cannot be seen. This waits for such an application, a bounded while, without holding
// the thread; a process whose application did not come (GTK 3 started with NO_AT_BRIDGE=1, GTK 4 with
// its accessibility off, a program of another user) is not waited for again while it lives.
class ApplicationArrivalWait {
public:
    // What the wait asks of the desktop, each about one process.
    struct Probes {
        // Its application is on the bus now.
        std::function<bool(qint32 processIdentifier)> isOnBus;
        // It carries a toolkit that registers its application late.
        std::function<bool(qint32 processIdentifier)> registersLate;
        // When it started, which tells it from a later process given the same number; none once it is gone.
        std::function<std::optional<quint64>(qint32 processIdentifier)> startTime;
        Sleeper sleep;
    };
    // How often the bus is asked while waiting.
    static constexpr std::chrono::milliseconds kStep{50};

    ApplicationArrivalWait(Probes probes, std::chrono::milliseconds wait);

    // The process has no application on the bus yet, may still bring one, and was not waited for in
    // vain before.
    bool mayArrive(qint32 processIdentifier);
    // Returns once the application came, or the wait is over (the process is then given up on); at
    // once for a process mayArrive does not hold for. A stop ends it with CancellationError and gives
    // nothing up.
    QCoro::Task<void> await(qint32 processIdentifier, std::stop_token stopToken);

private:
    bool isGivenUp(qint32 processIdentifier);

    Probes m_probes;
    int m_steps;
    // The processes given up on, with their start times.
    QHash<qint32, quint64> m_givenUp;
};

}  // namespace quorvelle
