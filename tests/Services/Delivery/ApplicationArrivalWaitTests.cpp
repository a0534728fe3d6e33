#include "Services/Delivery/ApplicationArrivalWait.h"
#include "Support/CancellationError.h"

#include "ManualTime.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

// The desktop as the wait asks it: which processes register late, which are on the bus, when each
// started; the sleeper's steps end only when the test says.
struct ArrivalRig {
    QSet<qint32> late{7, 8};
    QSet<qint32> onBus;
    QHash<qint32, quint64> started{{7, 100}, {8, 200}};
    test::ManualSleeper steps;
    ApplicationArrivalWait wait{
        {[this](qint32 pid) { return onBus.contains(pid); }, [this](qint32 pid) { return late.contains(pid); },
         [this](qint32 pid) -> std::optional<quint64> {
             return started.contains(pid) ? std::optional(started.value(pid)) : std::nullopt;
         },
         steps.sleeper()},
        std::chrono::milliseconds(200)};

    // A wait under way, with how it ended once it did.
    struct Waiting {
        bool ended = false;
        bool cancelled = false;
    };
    std::shared_ptr<Waiting> start(qint32 pid, std::stop_token stopToken = {}) {
        auto waiting = std::make_shared<Waiting>();
        [](ApplicationArrivalWait& wait, qint32 pid, std::stop_token stop,
           std::shared_ptr<Waiting> state) -> QCoro::Task<void> {
            try {
                co_await wait.await(pid, stop);
            } catch (const CancellationError&) {
                state->cancelled = true;
            }
            state->ended = true;
        }(wait, pid, std::move(stopToken), waiting);
        return waiting;
    }
    // Ends the oldest step and lets the wait take its next look.
    void step() {
        steps.finishOldest();
        for (int turn = 0; turn < 4; ++turn)
            QCoreApplication::processEvents();
    }
};

// Only a process that may still bring its application is waited for: in steps of kStep, until it
// came or the wait is over. One whose application did not come is not waited for again for as long
// as it lives; a later process given its number is. A wait stopped early gives nothing up.
TEST(ApplicationArrivalWait, WaitsOnlyForAProcessOnItsWayAndGivesUpOnItOnceForItsLife) {
    ArrivalRig rig;
    rig.onBus.insert(8);
    EXPECT_FALSE(rig.wait.mayArrive(0));
    EXPECT_FALSE(rig.wait.mayArrive(9)) << "a toolkit that does not register late";
    EXPECT_FALSE(rig.wait.mayArrive(8)) << "already on the bus";
    for (const qint32 pid : {0, 9, 8})
        EXPECT_TRUE(rig.start(pid)->ended) << pid;
    EXPECT_TRUE(rig.steps.requestedSeconds().isEmpty());

    // Never comes: four steps of 50 ms, then given up.
    ASSERT_TRUE(rig.wait.mayArrive(7));
    auto waiting = rig.start(7);
    for (int step = 0; step < 4; ++step) {
        EXPECT_FALSE(waiting->ended) << step;
        ASSERT_EQ(rig.steps.waitingCount(), 1);
        rig.step();
    }
    EXPECT_TRUE(waiting->ended && !waiting->cancelled);
    EXPECT_EQ(rig.steps.requestedSeconds(), QList<double>(4, 0.05));
    EXPECT_FALSE(rig.wait.mayArrive(7));
    EXPECT_TRUE(rig.start(7)->ended) << "waited for again";
    EXPECT_EQ(rig.steps.requestedSeconds().size(), 4);
    // Another process with the same number is a new one.
    rig.started[7] = 150;
    EXPECT_TRUE(rig.wait.mayArrive(7));

    // Comes during the second step: the wait ends there, and the process is not given up on.
    ArrivalRig arriving;
    waiting = arriving.start(7);
    arriving.step();
    arriving.onBus.insert(7);
    arriving.step();
    EXPECT_TRUE(waiting->ended);
    EXPECT_EQ(arriving.steps.waitingCount(), 0);
    arriving.onBus.remove(7);
    EXPECT_TRUE(arriving.wait.mayArrive(7));

    // Stopped: the wait ends at once, and the process may still be waited for.
    ArrivalRig stopped;
    std::stop_source stop;
    waiting = stopped.start(7, stop.get_token());
    stopped.step();
    stop.request_stop();
    for (int turn = 0; turn < 4; ++turn)
        QCoreApplication::processEvents();
    EXPECT_TRUE(waiting->ended && waiting->cancelled);
    EXPECT_TRUE(stopped.wait.mayArrive(7));
}

}  // namespace
}  // namespace quorvelle
