#include "Support/CurrentValueSubject.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <thread>

namespace quorvelle {
namespace {

TEST(CurrentValueSubject, NewSubscribersGetTheCurrentValueThenEveryValueSent) {
    CurrentValueSubject<int> subject(1);
    std::vector<int> seen;
    const auto token = subject.subscribe([&](int v) { seen.push_back(v); });
    subject.send(2);
    subject.unsubscribe(token);
    subject.send(3);
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
    EXPECT_EQ(subject.value(), 3);
}

TEST(CurrentValueSubject, ASubscriberMayUnsubscribeItselfAndOthersDuringADelivery) {
    CurrentValueSubject<int> subject(0);
    std::vector<int> first, second;
    CurrentValueSubject<int>::Token secondToken = 0;
    CurrentValueSubject<int>::Token firstToken = 0;
    firstToken = subject.subscribe([&](int v) {
        first.push_back(v);
        if (v == 5) {
            subject.unsubscribe(secondToken);
            subject.unsubscribe(firstToken);
        }
    });
    secondToken = subject.subscribe([&](int v) { second.push_back(v); });
    subject.send(5);
    subject.send(6);
    EXPECT_EQ(first, (std::vector<int>{0, 5}));
    EXPECT_EQ(second, (std::vector<int>{0}));  // removed before its turn in the same delivery
}

// Values come from the audio thread while the owner of a subscription goes away on its own thread:
// once unsubscribe() has returned, the subscriber must never run again.
TEST(CurrentValueSubject, UnsubscribeWaitsForADeliveryInProgress) {
    CurrentValueSubject<int> subject(0);
    std::mutex mutex;
    std::condition_variable changed;
    bool inside = false;
    bool release = false;
    auto owner = std::make_shared<std::atomic<bool>>(true);  // "alive" flag of the subscriber's owner
    std::atomic<bool> calledAfterDeath = false;
    const auto token = subject.subscribe([&, owner](int v) {
        if (!*owner) calledAfterDeath = true;
        if (v != 1) return;
        std::unique_lock lock(mutex);
        inside = true;
        changed.notify_all();
        changed.wait(lock, [&] { return release; });
    });
    std::thread audio([&] { subject.send(1); });
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return inside; });
    }
    std::atomic<bool> unsubscribed = false;
    std::thread mainThread([&] {
        subject.unsubscribe(token);
        unsubscribed = true;
        *owner = false;
    });
    // unsubscribe() must still be waiting while the delivery runs.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(unsubscribed);
    {
        std::lock_guard lock(mutex);
        release = true;
    }
    changed.notify_all();
    audio.join();
    mainThread.join();
    EXPECT_TRUE(unsubscribed);
    subject.send(2);
    EXPECT_FALSE(calledAfterDeath);
}

}  // namespace
}  // namespace quorvelle
