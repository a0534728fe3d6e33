#include "Support/CurrentValueSubject.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace quorvelle {
namespace {

TEST(CurrentValueSubject, SubscribersGetTheCurrentValueThenEachSentOneUntilTheyOrOthersUnsubscribeThem) {
    CurrentValueSubject<int> subject(0);
    std::vector<int> first, second;
    CurrentValueSubject<int>::Token firstToken = 0, secondToken = 0;
    firstToken = subject.subscribe([&](int v) {
        first.push_back(v);
        if (v != 5) return;
        subject.unsubscribe(secondToken);
        subject.unsubscribe(firstToken);
    });
    secondToken = subject.subscribe([&](int v) { second.push_back(v); });
    subject.send(1);
    subject.send(5);
    subject.send(6);
    EXPECT_EQ(first, (std::vector<int>{0, 1, 5}));
    EXPECT_EQ(second, (std::vector<int>{0, 1}));  // removed before its turn in the same delivery
    EXPECT_EQ(subject.value(), 6);
}

// Once unsubscribe() has returned on the owner's thread, the subscriber never runs again on the audio thread.
TEST(CurrentValueSubject, UnsubscribeWaitsForADeliveryInProgress) {
    CurrentValueSubject<int> subject(0);
    std::promise<void> inside, release;
    std::atomic<bool> ownerAlive = true, calledAfterDeath = false, unsubscribed = false;
    const auto token = subject.subscribe([&, released = release.get_future().share()](int v) {
        if (!ownerAlive) calledAfterDeath = true;
        if (v != 1) return;
        inside.set_value();
        released.wait();
    });
    std::thread audio([&] { subject.send(1); });
    inside.get_future().wait();
    std::thread owner([&] {
        subject.unsubscribe(token);
        unsubscribed = true;
        ownerAlive = false;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(unsubscribed);  // still waiting while the delivery runs
    release.set_value();
    audio.join();
    owner.join();
    subject.send(2);
    EXPECT_FALSE(calledAfterDeath);
}

}  // namespace
}  // namespace quorvelle
