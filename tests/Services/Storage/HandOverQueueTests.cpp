#include "Support/HandOverQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <utility>
#include <vector>

namespace quorvelle {
namespace {

// Several threads hand over at once while one worker sleeps whenever it found nothing: every value
// arrives once, each thread's in the order it handed them over, and the worker is never left asleep
// with values waiting.
TEST(HandOverQueueTest, ValuesFromManyThreadsArriveOnceInTheirOrderAndWakeTheWorker) {
    constexpr int kThreads = 4;
    constexpr int kEach = 20'000;
    HandOverQueue<std::pair<int, int>> queue;
    std::atomic<bool> stop = false;
    std::vector<std::vector<int>> arrived(kThreads);
    auto worker = std::async(std::launch::async, [&] {
        int total = 0;
        while (total < kThreads * kEach && !stop) {
            queue.wait();
            for (const auto& [thread, value] : queue.takeAll()) {
                arrived[thread].push_back(value);
                ++total;
            }
        }
    });
    std::vector<std::thread> threads;
    for (int thread = 0; thread < kThreads; ++thread) {
        threads.emplace_back([&queue, thread] {
            for (int value = 0; value < kEach; ++value) {
                queue.push({thread, value});
                // Now and then the worker catches up and sleeps: the next value must wake it.
                if (value % 1000 == 0) std::this_thread::yield();
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    // A worker asleep with values waiting never ends on its own: let it go, and fail.
    if (worker.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        stop = true;
        queue.wake();
        ADD_FAILURE() << "the worker slept with values waiting";
    }
    worker.get();
    for (int thread = 0; thread < kThreads; ++thread) {
        std::vector<int> expected(kEach);
        for (int value = 0; value < kEach; ++value)
            expected[value] = value;
        EXPECT_EQ(arrived[thread], expected) << "thread " << thread;
    }
    EXPECT_TRUE(queue.empty());
    EXPECT_TRUE(queue.takeAll().empty());

    // One value at a time, each handed over once the worker took the last and went back to sleep:
    // each must wake it.
    std::atomic<int> taken = 0;
    stop = false;
    auto sleeper = std::async(std::launch::async, [&] {
        while (taken < 1000 && !stop) {
            queue.wait();
            taken += int(queue.takeAll().size());
        }
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (int value = 0; value < 1000 && std::chrono::steady_clock::now() < deadline; ++value) {
        queue.push({0, value});
        while (taken <= value && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
    }
    EXPECT_EQ(taken, 1000) << "a value handed over did not wake the worker";
    stop = true;
    queue.wake();
    sleeper.get();
}

}  // namespace
}  // namespace quorvelle
