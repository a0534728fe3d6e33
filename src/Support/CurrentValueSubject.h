#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <utility>

namespace quorvelle {

// Holds the latest value and hands every new one to its subscribers, on the thread that sends it.
// Subscribers that live on another thread must hop there themselves, without waiting on that thread.
//
// Deliveries are serialised, and unsubscribe() waits for a delivery in progress: once it returns,
// the subscriber is never called again, so its owner may go away. A subscriber may send,
// subscribe or unsubscribe from inside its own call.
template <typename T>
class CurrentValueSubject {
public:
    using Subscriber = std::function<void(const T&)>;
    using Token = unsigned long;

    explicit CurrentValueSubject(T initial) : value_(std::move(initial)) {}

    T value() const {
        std::lock_guard guard(valueMutex_);
        return value_;
    }

    void send(const T& value) {
        std::lock_guard delivering(deliveryMutex_);
        {
            std::lock_guard guard(valueMutex_);
            value_ = value;
        }
        const std::map<Token, Subscriber> receivers = subscribers_;
        for (const auto& [token, receiver] : receivers) {
            // One that unsubscribed during this delivery is skipped.
            if (subscribers_.count(token) != 0) receiver(value);
        }
    }

    // The subscriber receives the current value at once, then every value sent.
    Token subscribe(Subscriber subscriber) {
        std::lock_guard delivering(deliveryMutex_);
        const Token token = ++lastToken_;
        subscribers_.emplace(token, subscriber);
        subscriber(value());
        return token;
    }

    void unsubscribe(Token token) {
        std::lock_guard delivering(deliveryMutex_);
        subscribers_.erase(token);
    }

private:
    mutable std::mutex valueMutex_;
    T value_;
    // Held for a whole delivery; recursive so a subscriber can act on the subject from its call.
    std::recursive_mutex deliveryMutex_;
    std::map<Token, Subscriber> subscribers_;
    Token lastToken_ = 0;
};

}  // namespace quorvelle
